QFET ; demo application: texts by kind and number, in the language %LAN (German by default)
 Q
T(kind,n) D TR^QCC("T^QFET("_$$A^QCC($G(kind))_","_$$A^QCC($G(n))_")")
 Q $G(^QSYS("FET",kind,n,$G(%LAN,"D")),$G(^QSYS("FET",kind,n,"D")))
