QKRT ; demo application: the screen KRT, reading health insurance cards
 Q
 ; ^ZCARD, one global for the whole database: "ART" the reader kind the screen opens with
 ; (5 without it), "PORT" the port the searching kind 3 is given ("" searches), "LAST" the
 ; last card read: "CARD", "PORT", the fields 1-18 that came, and for an eGK "PD", "VD" and
 ; "GVD", each document's pieces joined. ^ZCARD("SHOW",job): a card read that the form does
 ; not show yet.
INIT D TR^QCC("INIT^QKRT"),SHOW,ASK($G(^ZCARD("ART"),5)) Q
 ; F5 to F12: the reader kinds 0 to 7.
READ(kind) D TR^QCC("READ^QKRT("_$$A^QCC($G(kind))_")"),ASK($G(kind)) Q
ASK(kind) S %WIN("READCARD")=18,%WIN("READCARD","ART")=kind
 S %WIN("READCARD","PORT")=$G(^ZCARD("PORT")),%WIN("READCARD","RTN")="CARD^QKRT"
 Q
 ; What the reader left, run by the client after every reading, read or not.
CARD N i,doc,n,s D TR^QCC("CARD^QKRT")
 K ^ZCARD("LAST")
 F i="CARD","PORT",1:1:18 I $D(%WIN("READCARD",i))#2 S ^ZCARD("LAST",i)=%WIN("READCARD",i)
 ; Only a processor card brings documents; they are taken, so none stays for the next card.
 I $G(^ZCARD("LAST","CARD"))="EGK" F doc="PD","VD","GVD" I $D(^TEMPEGK(%JOB,"EGK-EF-"_doc)) D
 . S s="",n="" F  S n=$O(^TEMPEGK(%JOB,"EGK-EF-"_doc,n)) Q:n=""  S s=s_^(n)
 . S ^ZCARD("LAST",doc)=s
 K ^TEMPEGK(%JOB)
 D SHOW S ^ZCARD("SHOW",$J)=1
 ; The form shows it at once, by the road its timer takes; while it opens that road does
 ; not lead to it yet, and its next tick shows it. Either refresh runs the screen's "INIT".
 D EV("TIMER",1),EV("ROWCOL",$C(167))
 Q
TICK() D TR^QCC("TICK^QKRT()") Q $S($D(^ZCARD("SHOW",$J)):$C(167),1:"")
EV(node,value) S:'$D(%WIN("EV","KRT")) %WIN("EV","KRT")="" S %WIN("EV","KRT",node)=value Q
 ; The fields of the screen from ^ZCARD("LAST").
SHOW N f,doc,egk M f=^ZCARD("LAST")
 S KRTKARTE=$G(f("CARD"))_$S($G(f("PORT"))'="":" an Port "_f("PORT"),1:"")
 S KRTKASSE=$$JOIN($G(f(1)),$G(f(2)),$G(f(3))),KRTVNR=$$JOIN($G(f(4)),$G(f(5)),$G(f(6)))
 S KRTNAME=$$JOIN($G(f(7)),$G(f(8)),$G(f(9)),$G(f(10))),KRTGEB=$G(f(11)),KRTSTR=$G(f(12))
 S KRTORT=$$JOIN($G(f(13)),$G(f(14)),$G(f(15))),KRTGUELTIG=$G(f(16)),egk=""
 F doc="PD","VD","GVD" I $D(f(doc)) S egk=egk_$S(egk="":"",1:", ")_doc_" "_$L(f(doc))
 S KRTEGK=$S(egk="":"",1:egk_" Zeichen")
 Q
JOIN(a,b,c,d) N out,x,i S out="" F i=1:1:4 S x=$S(i=1:a,i=2:b,i=3:c,1:$G(d)) I x'="" S out=out_$S(out="":"",1:" ")_x
 Q out
