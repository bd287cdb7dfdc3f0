QSUB ; demo application: the screens SUB, SUBDLG and SUBABR (sub-dialogs and devices)
 Q
 ; The port of one of SUB's devices: ^QM("SUB",0,"PORT",device), else ^QM("SUB",0,"PORT"),
 ; else COM2.
PORT(dev) Q $G(^QM("SUB",0,"PORT",dev),$G(^QM("SUB",0,"PORT"),"COM2"))
 ; The display line's settings baud§stop bits§byte size§parity: ^QM("SUB",0,"LINIE"), else
 ; 9600 baud, 8 bits, no parity, one stop bit.
LINIE() Q $G(^QM("SUB",0,"LINIE"),"9600"_$C(167)_"0"_$C(167)_"8"_$C(167)_"0")
 ; «Quittung»: the receipt for the printer on LPT1, and the ring.
QUITT D TR^QCC("QUITT^QSUB")
 K ^QTEMP(%JOB,%DN,"LPT1")
 S ^QTEMP(%JOB,%DN,"LPT1",1)="Quittung 4711"_$C(13,10)
 S ^QTEMP(%JOB,%DN,"LPT1",2)="Betrag 12,50 EUR"_$C(13,10)
 S ^QTEMP(%JOB,%DN,"RING")=""
 Q
 ; «Kundenanzeige»: lines A and B of the display and the cash drawer for the next field
 ; step, and the job's own port request with its line settings and messages for the hub.
ANZEIGE D TR^QCC("ANZEIGE^QSUB")
 S ^QTEMP(%JOB,%DN,"COMPORT")=""
 S ^QTEMP(%JOB,%DN,"COMPORT","DISPLAY","A")="Willkommen"_$C(167)_$$PORT("A")
 S ^QTEMP(%JOB,%DN,"COMPORT","DISPLAY","B")="Summe 12,50 EUR"_$C(167)_$$PORT("B")
 S ^QTEMP(%JOB,%DN,"COMPORT","CASHDRAWER")="Lade"_$C(167)_$$PORT("LADE")
 S ^QTEMP(%JOB,"COMPORT","DISPLAY","PORT")=$$PORT("LEITUNG")_$C(167)_$$LINIE
 S ^QTEMP(%JOB,"COMPORT","DISPLAY","MSG",1)=$C(12)
 S ^QTEMP(%JOB,"COMPORT","DISPLAY","MSG",2)="Danke"_$C(13)
 S ^QTEMP(%JOB,"COMPORT","CASHDRAWER","PORT")=$$PORT("KASSE")
 S ^QTEMP(%JOB,"COMPORT","CASHDRAWER","MSG")=$C(27)_"p0"_$C(25,200)
 Q
 ; F9 «Kette»: SUBDLG, then the form-save dialog SAVDLG. The F3 action belongs to the
 ; screen's own variables, so a dialog closed without saving still finds it.
KETTE D TR^QCC("KETTE^QSUB")
 S %ABL="WEITER^QSUB",%ABL("F3")="ABBR^QSUB" D VARSAVE^QCC(%DN)
 S %DDN="SUBDLG"
 Q
 ; After SUBDLG: the client kills all of %ABL after this step, and SAVDLG's opening saves
 ; the screen's variables without it; so the F3 action comes back through the dialog's own
 ; code, which runs once the screen's variables are back (a save's key step drops it again).
WEITER N f D TR^QCC("WEITER^QSUB")
 S f=$G(%ABL("F3")),%DDN="SAVDLG"
 S:f'="" %DDN=%DDN_"[]S %ABL(""F3"")="_$$A^QCC(f)
 Q
ABBR D TR^QCC("ABBR^QSUB") K %ABL D VARSAVE^QCC(%DN) Q
 ; SUBDLG's save: the new place goes back to SUB, which lays itself out again.
UEB D TR^QCC("UEB^QSUB") S ORT=$G(SUBORT),%VL1=1 Q
 ; SUBABR's save in namespace ABR, and SUB's line after it (back at home).
ABRSAVE D TR^QCC("ABRSAVE^QSUB "_$$NS^QUCI()) Q
ZURUECK D TR^QCC("ZURUECK^QSUB "_$$NS^QUCI()) Q
