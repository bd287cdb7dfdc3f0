QDRK ; demo application: the letter screen DRK (Briefdruck) and its print jobs
 Q
 ; The screen's start: the letter's data in its fields.
INIT N i D TR^QCC("INIT^QDRK")
 S DRKEMPF=$$EMPF,DRKBETR=$$BETR
 K DRKADR S DRKADR(1)=$P($$ADR,$C(13),1),DRKADR(2)=$P($$ADR,$C(13),2)
 K DRKTEXT F i=1:1:120 S DRKTEXT(i)="Position "_i
 Q
 ; Saving prints through the printer choice: no device stays from a form print.
SAVE D TR^QCC("SAVE^QDRK") K ^ZDR(%JOB,"SAVE","WORD") Q
 ; The form print's start: the letter opens through Word, without a choice.
FDINIT D TR^QCC("FDINIT^QDRK") S ^ZDR(%JOB,"SAVE","WORD")="WB" Q
 ; The print routine: the letter's values for the form generator (the Word devices name
 ; the form in %FORM), and the lines of the text export (%DFORM 1: with a page header).
DRUCK N i,f D TR^QCC("DRUCK^QDRK("_$$A^QCC($G(%DEV))_")")
 D LISTE
 S f=$G(%FORM) Q:f=""
 K ^ZDR(%JOB,f) S ^ZDR(%JOB,f,1)="1_Brief"
 ; The fax number travels in the part's name, behind its last "_".
 I $G(%DEV)="WF" S ^ZDR(%JOB,f,1,"NAME")="Brief_0301234567"
 D Z(1,"A1","@EMPFAENGER",$$EMPF),Z(1,"A1","@ANSCHRIFT",$$ADR),Z(1,"A1","@BETREFF",$$BETR)
 F i=1:1:120 D Z(1+i,"B1","@TEXT","Position "_i)
 D Z(122,"C1","@GRUSS",$$GRUSS)
 Q
Z(line,code,token,value) S ^ZDR(%JOB,f,1,"Z",line,code,token)=value Q
 ; The letter as report lines in ^ZDR(%JOB,"LISTE",n).
LISTE N n,i D TR^QCC("LISTE^QDRK")
 K ^ZDR(%JOB,"LISTE") S n=0
 I $G(%DFORM)=1 D ADD("Briefdruck"),ADD("")
 D ADD($$EMPF),ADD($P($$ADR,$C(13),1)),ADD($P($$ADR,$C(13),2)),ADD(""),ADD("Betreff: "_$$BETR),ADD("")
 F i=1:1:120 D ADD("Position "_i)
 D ADD(""),ADD("Mit freundlichen Gr"_$C(252,223)_"en")
 Q
ADD(text) S n=n+1,^ZDR(%JOB,"LISTE",n)=text Q
EMPF() Q "Erika M"_$C(252)_"ller"
ADR() Q "Hauptstra"_$C(223)_"e 1"_$C(13)_"10115 Berlin"
BETR() Q "Rechnung {2026} \ Teil 1"
GRUSS() Q "rtf:{\b Mit freundlichen Gr"_$C(252,223)_"en}"
