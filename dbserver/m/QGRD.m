QGRD ; demo application: the grids of the screens GRD (Leistungen), GRL (Reihenfolge) and GRX (Massendaten)
 Q
 ; Each job has its own rows, made when the screen opens: ^QGRD(job,i) = service§quantity§
 ; price§status§note (row 0 the titles; ^QGRD("KOPF") header rows when a test asks for more
 ; than one), ^QGRL(job,i) = position§name§count, ^QGRX(job,i) = five plain texts.
 ; ^QGRD("FOCUS") and ^QGRD("CLICK") let a test have a cell's entry leave a pending
 ; sub-dialog and a click answer rebuild the grid; ^QGRD("ZEILEN") makes fewer rows, each
 ; noted with its number (Zeile007), and ^QGRD("FUSS") a left footer text, so that a test
 ; can print every page and find each row on it. ^QGRD("LANGSAM") is how many seconds each
 ; row of GRD takes to answer, for a load that runs long.
 ;
 ; ---- GRD
OPEN N i,h,d,n,svc D TR^QCC("OPEN^QGRD") S d=$C(167)
 K ^QGRD($J) S %GBL=$NA(^QGRD($J)),h=$G(^QGRD("KOPF"),1) S:h<1 h=1
 F i=1-h:1:-1 S ^QGRD($J,i)="Kopf "_(i+h)
 S ^QGRD($J,0)="Leistung"_d_"Menge"_d_"Preis"_d_"Status"_d_"Bemerkung"
 S svc="Beratung,Hausbesuch,Labor,R"_$C(246)_"ntgen,Verband,Impfung,Gutachten,Telefonat"
 S n=$G(^QGRD("ZEILEN"),2000) S:n<1!(n>2000) n=2000
 F i=1:1:n S ^QGRD($J,i)=$P(svc,",",i#8+1)_d_(i#7+1)_d_(i#13*10+15)_",00"_d_$S(i#3:"offen",1:"erledigt")_d_$S($D(^QGRD("ZEILEN")):"Zeile"_$E(i+1000,2,4),i#10:"",1:"Erste Zeile"_$C(13,10)_"zweite Zeile")
 S (%ZELN,%ZLOEN,%ZEINN)=1,%MAXZ=2500,GRDKUNDE="",GRDDATUM=""
 S %WIN("SCRTITLE","L")="Leistungen",%WIN("SCRTITLE","C")="Praxis Dr. Muster",%WIN("SCRTITLE","R")="Demo"
 S %WIN("SCRFOOT","C-EXTRA")="Alle Preise in Euro" S:$G(^QGRD("FUSS"))'="" %WIN("SCRFOOT","L")=^QGRD("FUSS")
 Q
ROW(row,c1,c2,cells) N c,rec S rec=$G(^QGRD($J,row)) Q:'$D(^QGRD($J,row))
 H:+$G(^QGRD("LANGSAM")) +^QGRD("LANGSAM")
 F c=c1:1:c2 S cells(c)=$$CELL(row,c,rec)
 Q
CELL(row,c,rec) N t,x,d S d=$C(167)
 I row<1 Q $$REC^QCD($S(c=1:$S(row=0:"Nr",1:""),1:$P(rec,d,c-1)))
 S t=$S(c=1:row,1:$P(rec,d,c-1)),x=$$REC^QCD(t)
 S:row#5=0 $P(x,d,13)=5
 I c=3,t>5 S $P(x,d,15)=1
 I c=4,+t>100 S $P(x,d,8)=2
 I c=5 S $P(x,d,9)=$S(t="offen":3,1:8),$P(x,d,12)=$S(t="offen":2,1:4),$P(x,d,11)=$S(t="offen":1,1:2)
 I c=6 S $P(x,d,16)=1 S:row#10=0 $P(x,d,14)=40
 Q x
VAL(r,c) Q:c<2 r  Q $P($G(^QGRD($J,r)),$C(167),c-1)
FOS(r,c,x) S:c=2 %TAB="LEIST"
 I c=6,'$D(%DDN("FOCUS")),$G(^QGRD("FOCUS"))'="" S %DDN("FOCUS")=^QGRD("FOCUS")
 Q $$VAL(r,c)
PRS(r,c,x) N d S d=$C(167)
 I c=3,x'?1.2N!(x<1)!(x>99) Q d_"Die Menge muss eine ganze Zahl von 1 bis 99 sein."_d_1
 Q:c<2!(c>6)!'$D(^QGRD($J,r)) x_d
 S $P(^QGRD($J,r),d,c-1)=x
 Q x_d_"Zeile "_r_" gespeichert."
TABLES(c,b,x) Q:c'=2 ""  D FILL^QCC("LEIST","GRDLEIST",$$ENTRIES^QCC("LEIST",""))
 Q $C(167,167)_"LEIST"
ZEINF(r,b,x) N i,last S last=+$O(^QGRD($J,""),-1) S:r<1 r=1 S:r>(last+1) r=last+1
 F i=last:-1:r S ^QGRD($J,i+1)=^QGRD($J,i)
 S ^QGRD($J,r)=$C(167)_"1"_$C(167)_"0,00"_$C(167)_"offen"_$C(167),%WIN("ZEL")=r_$C(167)_"1"_$C(167)_"1"
 Q ""
ZLOE(r,b,x) N i,last S last=+$O(^QGRD($J,""),-1) Q:r<1!(r>last) "Diese Zeile gibt es nicht."
 F i=r:1:last-1 S ^QGRD($J,i)=^QGRD($J,i+1)
 K ^QGRD($J,last) S %WIN("ZEL")=r_$C(167)_"1"_$C(167)_"0"
 Q ""
CLICK(c,r) N d,st S d=$C(167)
 I r="EDIT" Q $S(c=5:"N",1:"")
 I $G(^QGRD("CLICK"))'="" Q ^QGRD("CLICK")
 Q:c'=5!'$D(^QGRD($J,r)) ""
 S st=$S($P(^QGRD($J,r),d,4)="offen":"erledigt",1:"offen"),$P(^QGRD($J,r),d,4)=st
 Q st
INF(c,r) Q:r<1 ""  Q "Zeile "_r_": "_$P($G(^QGRD($J,r)),$C(167))_", Menge "_$P($G(^QGRD($J,r)),$C(167),2)
NOTIZ D TR^QCC("NOTIZ^QGRD") S %INF="Die Bemerkung wird im Feld selbst bearbeitet." Q
 ;
 ; ---- GRL: rows dragged by their handle, cell blocks dropped with a question
OPENL N i,d D TR^QCC("OPENL^QGRD") S d=$C(167)
 K ^QGRL($J) S %GBL=$NA(^QGRL($J))
 S ^QGRL($J,0)="Pos"_d_"Bezeichnung"_d_"Anzahl"
 F i=1:1:200 S ^QGRL($J,i)=i_d_"Artikel "_i_d_(i#9+1)
 Q
ROWL(row,c1,c2,cells) N c,rec,x,d S d=$C(167),rec=$G(^QGRL($J,row)) Q:'$D(^QGRL($J,row))
 F c=c1:1:c2 S x=$$REC^QCD($S(c=1:"",1:$P(rec,d,c-1))) S:c=1&(row>0) $P(x,d,18)=1 S cells(c)=x
 Q
ENTERL(c,r) Q:r<1 ""  Q r_$C(167)_r_$C(167)_"1"_$C(167)_"4"
DRAGL(c,r) N d S d=$C(167) Q:r<1 ""
 I c=1 S ^QGRL($J,"DRAG")=r Q r_d_r_d_"1"_d_"4"
 Q r_d_r_d_c_d_c
SIZEL(c,r) N from,rec,i,last,d S d=$C(167),from=+$G(^QGRL($J,"DRAG")) K ^QGRL($J,"DRAG")
 S last=+$O(^QGRL($J,""),-1) Q:from<1!(r<1)!(from=r)!(from>last) ""
 S:r>last r=last S rec=^QGRL($J,from)
 I from<r F i=from:1:r-1 S ^QGRL($J,i)=^QGRL($J,i+1)
 I from>r F i=from:-1:r+1 S ^QGRL($J,i)=^QGRL($J,i-1)
 S ^QGRL($J,r)=rec F i=1:1:last S $P(^QGRL($J,i),d)=i
 Q "1"
DROPNL(c,r) N d S d=$C(167)
 I c="" S %zz=r,%pp=+$G(^QGRL($J,"DROP")) K ^QGRL($J,"DROP") Q ""
 I c=2 Q "Die Position wird automatisch vergeben."_d_"1"
 S ^QGRL($J,"DROP")=c Q "Zellen nach Zeile "_r_" kopieren?"_d_"2"
CLICKL(c,r) N d S d=$C(167) Q:r="EDIT" ""  Q:c'=4!'$D(^QGRL($J,r))!(r<1) ""
 S $P(^QGRL($J,r),d,3)=$P(^QGRL($J,r),d,3)+1 Q $P(^QGRL($J,r),d,3)
RCLICKL(c,r) N d S d=$C(167) Q:c'=4!'$D(^QGRL($J,r))!(r<1) ""
 Q:$P(^QGRL($J,r),d,3)<1 ""  S $P(^QGRL($J,r),d,3)=$P(^QGRL($J,r),d,3)-1 Q $P(^QGRL($J,r),d,3)
VALL(r,c) Q:c<2 ""  Q $P($G(^QGRL($J,r)),$C(167),c-1)
FOSL(r,c,x) Q $$VALL(r,c)
PRSL(r,c,x) N d S d=$C(167) Q:c<3!(c>4)!'$D(^QGRL($J,r)) x_d
 S $P(^QGRL($J,r),d,c-1)=x Q x_d_"Zeile "_r_" gespeichert."
INFL(c,r) Q:r<1 ""  Q "Position "_r
 ;
 ; ---- GRX: many rows of plain text
OPENX N i,d D TR^QCC("OPENX^QGRD") S d=$C(167)
 K ^QGRX($J) S %GBL=$NA(^QGRX($J))
 S ^QGRX($J,0)="Nummer"_d_"Name"_d_"Ort"_d_"Betrag"_d_"Datum"
 F i=1:1:100000 S ^QGRX($J,i)=i_d_"Kunde "_i_d_$P("Berlin,Hamburg,Bremen,Kiel,Essen",",",i#5+1)_d_(i#997)_",50"_d_(i#28+1)_".11.2026"
 Q
ROWX(row,c1,c2,cells) N c,rec,d S d=$C(167),rec=$G(^QGRX($J,row)) Q:rec=""
 F c=c1:1:c2 S cells(c)=$P(rec,d,c)_d_"2"_d_"0"_d_d_"0"_d_d_"0"_d_"0"_d_"0"_d_"0"
 Q
