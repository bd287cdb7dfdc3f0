QTXT ; demo application: the letter screen TXT
 Q
 ; The screen's start: search routines, a letter with placeholders, the first picture.
INIT S %WIN("SEARCHTABLE")="TAB^QTXT",%WIN("SEARCHRTN")="SUCH^QTXT",%WIN("REPLACERTN")="ERS^QTXT"
 S TXTBETR="Angebot",TXTZEI="A-17",TXTBILD=0,BILDTXT=$$BILD(1),%NE=4
 K BRIEF S BRIEF(1)="@Anrede @Name,",BRIEF(2)="",BRIEF(3)="anbei unser Angebot vom @Datum."
 Q
 ; The search table of a lead character (TEXT): the global of its text modules in GLOB.
TAB D TR^QCC("TAB^QTXT("_$$A^QCC($G(TEXT))_")")
 S GLOB=$S($G(TEXT)="#":"^QTXTB",$G(TEXT)="*":"^QTXTK",1:"")
 Q
 ; A word after a lead character (TEXT, the caret behind it at %tz/%tp): "#" and "*" words
 ; become their module's text, "+" words the value of the placeholder of that name; the
 ; caret goes behind the new text. Unknown words are refused with %F.
ERS N lead,word,new D TR^QCC("ERS^QTXT("_$$A^QCC($G(TEXT))_")")
 S lead=$E($G(TEXT)),word=$E($G(TEXT),2,$L($G(TEXT))),new=""
 I lead="#" S new=$G(^QTXTB(word,2))
 I lead="*" S new=$G(^QTXTK(word,2))
 I lead="+" S new=$$VAL(word)
 I new="" S %F="Kein Textbaustein." Q
 D PUT($G(TEXT),new,$G(%tz),$G(%tp)-$L($G(TEXT)))
 Q
 ; A placeholder "@"_TEXT at %tz/%tp becomes its value.
SUCH N new D TR^QCC("SUCH^QTXT("_$$A^QCC($G(TEXT))_")")
 S new=$$VAL($G(TEXT))
 I new="" S %F="Unbekannter Platzhalter." Q
 D PUT("@"_TEXT,new,$G(%tz),$G(%tp))
 Q
 ; A placeholder's value: today for "Datum", else ^QTXTP.
VAL(word) Q:word="" ""  Q:word="Datum" $ZD($H,"DD.MM.YEAR")  Q $G(^QTXTP(word))
 ; Replaces old by new in line z of BRIEF where old begins at column p.
PUT(old,new,z,p) N line
 S line=$G(BRIEF(+z))
 I $E(line,p,p+$L(old)-1)'=old S %F="Text nicht gefunden." Q
 S BRIEF(+z)=$E(line,1,p-1)_new_$E(line,p+$L(old),$L(line))
 S %WIN("CURPOS")=+z_$C(167)_(p+$L(new))
 Q
 ; The push button "Bild wechseln" switches between two pictures and refreshes the form.
PR(n,x) Q:+n'=5!($G(x)'="J") ""
 D TR^QCC("BILD^QTXT")
 S TXTBILD='$G(TXTBILD),BILDTXT=$$BILD(TXTBILD+1)
 N a S a=$$ANS^QCC("","","",4,4,"","") S $P(a,$C(167),8)=1 Q a
 ; A small BMP in the temporary folder, blue (1) or orange (2), seen by the client on Z:
 ; (the byte writer of LAY's picture).
BILD(k) N f,i,w,h,row S f="/tmp/vorlan-txt-"_$J_"-"_k_".bmp",w=8,h=6
 O f:(NEWVERSION:STREAM:NOWRAP) U f
 W "BM",$$LE^QFLD(54+(w*3*h),4),$$LE^QFLD(0,4),$$LE^QFLD(54,4),$$LE^QFLD(40,4),$$LE^QFLD(w,4),$$LE^QFLD(h,4),$$LE^QFLD(1,2),$$LE^QFLD(24,2)
 W $$LE^QFLD(0,4),$$LE^QFLD(w*3*h,4),$$LE^QFLD(2835,4),$$LE^QFLD(2835,4),$$LE^QFLD(0,4),$$LE^QFLD(0,4)
 F row=1:1:h F i=1:1:w W $S(k=1:$C(240,120,40),1:$C(40,120,240))
 C f
 Q "Z:"_$TR(f,"/","\")
