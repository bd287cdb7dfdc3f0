QDT ; demo application: %H ($H form) to %DT (dd.mm.yyyy)
 D TR^QCC("^QDT")
 S %DT=$ZDATE($G(%H,$H),"DD.MM.YEAR")
 Q
