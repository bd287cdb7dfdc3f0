MOD ; demo application: the screen of modal windows and what its buttons ask first
 Q
 ; «Ohne Rahmen»: the popup reads the node under its opener's %DN, its toolbar under its own.
NOWIN D TR^QCC("NOWIN^MOD")
 S ^QTEMP(%JOB,"MOD","NOWINDOW")="",^QTEMP(%JOB,"MODDLG","NOWINDOW")=""
 Q
 ; «Kundenanzeige»: lines A and B of the customer display at COM1 (or the port that
 ; ^QM("MOD",0,"PORT") names).
ANZEIGE N port D TR^QCC("ANZEIGE^MOD")
 S port=$G(^QM("MOD",0,"PORT")) S:port="" port="COM1"
 S ^QTEMP(%JOB,"MOD","COMPORT")=""
 S ^QTEMP(%JOB,"MOD","COMPORT","DISPLAY","A")="Willkommen"_$C(167)_port
 S ^QTEMP(%JOB,"MOD","COMPORT","DISPLAY","B")="Summe 12,50 EUR"_$C(167)_port
 Q
 ; After the dialog: its requests held for this one opening only.
FREI D TR^QCC("FREI^MOD")
 K ^QTEMP(%JOB,"MOD","NOWINDOW"),^QTEMP(%JOB,"MODDLG","NOWINDOW"),^QTEMP(%JOB,"MOD","COMPORT")
 Q
 ; A timer entry for MOD itself: the modal dialog never runs it.
TIMER() D TR^QCC("TIMER^MOD()") Q ""
