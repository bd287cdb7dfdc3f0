QREG ; demo application: the screen REG «Register» with its pages REGADR and REGNOT
 Q
 ; The first page keeps its tab until it has a name: the save check refuses with %F.
PRUEF() Q:$TR($G(REGNAME)," ")'="" 0
 S %F="Bitte einen Namen eingeben."
 Q 1
SAVE D TR^QCC("SAVE^QREG") S ^REG("NAME")=$G(REGNAME),%INF="Register gespeichert." Q
