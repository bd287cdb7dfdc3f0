REP ; demo application: the tab pages REP1 and REP2 and the end of the last one
 Q
SAVE1 D TR^QCC("SAVE1^REP") S ^REP(1)=$G(^REP(1))+1,%INF="Karte 1 gespeichert." Q
SAVE2 D TR^QCC("SAVE2^REP") S ^REP(2)=$G(^REP(2))+1,%INF="Karte 2 gespeichert." Q
ENDE D TR^QCC("ENDE^REP") S ^REP("ENDE")=$G(^REP("ENDE"))+1 Q
