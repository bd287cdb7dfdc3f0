QBRF ; demo application: the letter screen BRF (a rich-text field)
 Q
 ; The screen's start: the kept letter, else the one below.
INIT N i,x D TR^QCC("INIT^QBRF")
 K BRFTEXT,BRFTEXTTEXT
 I $D(^ZDEMO("BRF","RTF")) M BRFTEXT=^ZDEMO("BRF","RTF") Q
 F i=1:1 S x=$P($T(TEXT+i),";;",2,99) Q:x=""  S BRFTEXT(i)=x
 Q
 ; Leaving the field: the client has sent its text as RTF and as plain text, each line from
 ; the third on with a blank that the text box's lines drop.
PR(n,x) Q:+n'=1 ""
 D TR^QCC("PR^QBRF"),BOX^QCC("BRFTEXT"),BOX^QCC("BRFTEXTTEXT")
 K ^ZDEMO("BRF","RTF"),^ZDEMO("BRF","TEXT")
 M ^ZDEMO("BRF","RTF")=BRFTEXT,^ZDEMO("BRF","TEXT")=BRFTEXTTEXT
 Q $$ANS^QCC("","","",0,1,"","")
TEXT ;
 ;;{\rtf1\ansi\deff0{\fonttbl{\f0\fswiss Arial;}}
 ;;\pard\f0\fs22 @Anrede @Name,\par
 ;;\par
 ;;wir best\'e4tigen Ihren Termin am \b @Datum\b0  um \b @Uhrzeit\b0 .\par
 ;;\par
 ;;\i Bitte bringen Sie Ihre Versichertenkarte mit.\i0\par
 ;;\par
 ;;Mit freundlichen Gr\'fc\'dfen\par
 ;;\ul Ihre Praxis\ulnone\par
 ;;}
