QCC ; demo application: the routines the client calls on its main road
 Q
 ; Text for the client's wait dialog while job is busy: text§title§keep polling§log line.
 ; Long-running code says what it does with D BUSY^QCC(text).
WAITING(job) N text,alive
 S job=+job,alive=$ZGETJPI(job,"ISPROCALIVE")
 S text=$G(^%CONTROL(job,"BUSY"))
 I text="" S text=$S(alive:"Der Server bearbeitet die Anfrage.",1:"Der Auftrag ist beendet.")
 Q text_$C(167)_$C(167)_alive_$C(167)
BUSY(text) S ^%CONTROL($J,"BUSY")=text Q
 ; Errors the client met: recorded per job; "" lets the client show its own dialog.
ERROR(text) N n
 S n=$I(^%CONTROL($J,"ERROR")),^%CONTROL($J,"ERROR",n)=$H_" "_text
 Q ""
