SAV ; demo application: the screen that saves through a sub-dialog, prints and starts over
 Q
 ; The screen's own check: nothing is saved without a name.
PRUEF() D TR^QCC("PRUEF^SAV") Q:$G(SAVNAME)'="" 0
 S %F="Bitte einen Namen eingeben." Q 1
 ; F1: a negative amount is refused and keeps the form; else the row is stored, the
 ; sub-dialog SAVDLG follows and the print device is left for the print road.
SAVE N n D TR^QCC("SAVE^SAV")
 I +$G(SAVBETR)<0 S %FF="Ein negativer Betrag wird nicht gespeichert." Q
 S n=$I(^SAV),^SAV(n)=$G(SAVNAME)_$C(167)_$G(SAVBETR)
 S %INF="Gespeichert.",%DDN="SAVDLG"
 D GERAET
 Q
GERAET N dev S dev=$G(^SAV(0,"GERAET"),"3")
 I dev="" K ^ZDR(%JOB,"SAVE","WORD") Q
 S ^ZDR(%JOB,"SAVE","WORD")=dev
 Q
 ; SAVDLG's save: the check box taken note of.
GELESEN D TR^QCC("GELESEN^SAV") S ^SAV(0,"GELESEN")=$G(SAVGEL) Q
 ; The print routines: after a save, and the form print's init and print.
DRUCK D TR^QCC("DRUCK^SAV") Q
FDINIT D TR^QCC("FDINIT^SAV"),GERAET Q
FDRUCK D TR^QCC("FDRUCK^SAV") Q
 ; F7: leave the screen as F3 does.
ABBRUCH D TR^QCC("ABBRUCH^SAV") S %VL=1,%SC="F3" Q
