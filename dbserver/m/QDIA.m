QDIA ; demo application: the chart screen DIA
 Q
 ; The form's init: each chart field's variable names its array.
INIT D TR^QCC("INIT^QDIA")
 S DIAFELD1="^ZDEMO(""DIA"",""STAT"")",DIAFELD2="^ZDEMO(""DIA"",""UMSATZ"")"
 Q
