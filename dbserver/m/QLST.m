QLST ; demo application: the lists of the screen LST
 Q
 ; ^LSTORT(i) = town§post code, 60 of them; the list STAEDTE gives them 20 at a time in
 ; ^QTEMP($J,"LST"), row 0 the titles; ^QTEMP($J,"LST","AB") is the next town to give.
 ; ^LST("WAHL") keeps the last row chosen, ^LST("STADT") the town saved.
 ;
 ; Field 1: "B" is ambiguous (the towns are offered), "X" offers a list without rows. Field 2
 ; takes a town of the list only.
PR(%qn,%qx) D TR^QCC("PR^QLST("_$$A^QCC(%qn)_","_$$A^QCC(%qx)_")")
 I %qn=1,$$UP^QCC(%qx)="B" D FILL Q $$ANS^QCC(%qx,"","",1,1,"STAEDTE","")
 I %qn=1,$$UP^QCC(%qx)="X" D LEER Q $$ANS^QCC(%qx,"","",1,1,"LEER","")
 I %qn=2,%qx'="",'$$KNOWN(%qx) Q $$ANS^QCC(%qx,1,"Bitte eine Stadt aus der Liste w"_$C(228)_"hlen.",2,2,"","")
 Q ""
KNOWN(x) N i,f S f=0 F i=1:1:60 I $P($G(^LSTORT(i)),$C(167))=x S f=1 Q
 Q f
 ; The titles and the first batch.
FILL D TR^QCC("FILL^QLST")
 D HEAD S ^QTEMP($J,"LST","AB")=1 D ROWS
 Q
 ; The next batch (WTW^QCC): the rows read go, none come after the last town.
NEXT D TR^QCC("NEXT^QLST")
 D HEAD,ROWS
 Q
HEAD N ab S ab=$G(^QTEMP($J,"LST","AB"))
 S %WGBL="^QTEMP("_$J_",""LST"")" K @%WGBL
 S @%WGBL@(0,1)="Stadt",@%WGBL@(0,2)="PLZ"
 S:ab ^QTEMP($J,"LST","AB")=ab
 Q
ROWS N i,r,ab S ab=+$G(^QTEMP($J,"LST","AB")) Q:ab<1
 F i=ab:1:ab+19 Q:'$D(^LSTORT(i))  S r=^LSTORT(i),@%WGBL@(i-ab+1,1)=$P(r,$C(167)),@%WGBL@(i-ab+1,2)=$P(r,$C(167),2)
 S ^QTEMP($J,"LST","AB")=ab+20
 Q
 ; Titles and no rows.
LEER D TR^QCC("LEER^QLST")
 S %WGBL="^QTEMP("_$J_",""LST"")" K @%WGBL
 S @%WGBL@(0,1)="Stadt",@%WGBL@(0,2)="PLZ"
 Q
 ; TABX^QCC of the list STAEDTE: x is the chosen row's text.
WAHL D TR^QCC("WAHL^QLST("_$$A^QCC($G(x))_")") S ^LST("WAHL")=$G(x) Q
 ; F1 of the screen, and the list offered after each save.
SAVE D TR^QCC("SAVE^QLST") S ^LST("STADT")=$G(LSTSTADT),%INF="Gespeichert." Q
FOLGE D TR^QCC("FOLGE^QLST") D FILL S %TAB="STAEDTE" Q
