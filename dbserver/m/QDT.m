QDT ; demo application: %H ($H form) to %DT (dd.mm.yyyy)
 D TR^QCC("^QDT")
 S %DT=$ZDATE($G(%H,$H),"DD.MM.YEAR")
 Q
 ; A date typed as T.M.JJJJ, TT.MM.JJJJ or TTMMJJJJ, as TT.MM.JJJJ; "" when it is none.
TT(x) N d,m,y
 S:x?8N x=$E(x,1,2)_"."_$E(x,3,4)_"."_$E(x,5,8)
 Q:x'?1.2N1"."1.2N1"."4N ""
 S d=+$P(x,"."),m=+$P(x,".",2),y=+$P(x,".",3)
 Q:m<1!(m>12)!(d<1)!(y<1) ""
 Q:d>$S(m=2:28+('(y#4)&(y#100)!'(y#400)),1:30+(m+(m>7)#2)) ""
 Q $E(100+d,2,3)_"."_$E(100+m,2,3)_"."_y
