QHELPW ; demo application: the help texts of the screens (F1) and their administration QHELP
 Q
 ; ^QHELP(screen,n) = the screen's help text in chunks of rich text, ^QHELP(screen,"TEXT") the
 ; plain text the administration screen last saved. A page without help of its own shows its
 ; frame's (the screen of the menu entry).
 ;
 ; The client's F1: ^QTEMP("HELP",n) gets the chunks of the current screen, nothing without.
LOAD N scr,n
 D TR^QCC("LOAD^QHELPW")
 K ^QTEMP("HELP")
 S scr=$$SCREEN() Q:scr=""
 S n="" F  S n=$O(^QHELP(scr,n)) Q:n=""  S:n=+n ^QTEMP("HELP",n)=^QHELP(scr,n)
 Q
SCREEN() N scr S scr=$G(%DN)
 Q:scr'=""&$D(^QHELP(scr)) scr
 S scr=$S($G(%MEMO)="":"",1:$G(^QME("MEMO",%MEMO)))
 Q:scr'=""&$D(^QHELP(scr)) scr
 Q ""
 ;
 ; ---- QHELP «Hilfeverwaltung»: the help text of a screen as plain text
INIT S (QHMASKE,QHTEXT)="",%NE=1 Q
 ; Leaving «Maske» shows the text saved for that screen.
MASKE(x) S x=$$UP^QCC(x) Q:x="" "Bitte den Namen einer Maske angeben."
 Q:'$D(^QM(x)) "Die Maske "_x_" gibt es nicht."
 S QHTEXT=$G(^QHELP(x,"TEXT"))
 Q ""
 ; F1: the text becomes the screen's help, one chunk of rich text.
SAVE N scr
 D TR^QCC("SAVE^QHELPW")
 S scr=$$UP^QCC($G(QHMASKE)) Q:scr=""
 K ^QHELP(scr)
 S ^QHELP(scr,"TEXT")=$G(QHTEXT)
 S ^QHELP(scr,1)="{\rtf1\ansi\deff0{\fonttbl{\f0 Tahoma;}}\f0\fs18 "_$$RTF($G(QHTEXT))_"\par}"
 S %INF="Hilfe zu "_scr_" gespeichert."
 Q
 ; Backslash and braces are the rich text's own.
RTF(x) N i,c,out S out=""
 F i=1:1:$L(x) S c=$E(x,i) S out=out_$S("\{}"[c:"\"_c,1:c)
 Q out
