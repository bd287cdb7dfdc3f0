QEXT ; demo application: the screen EXT, requests for the outside components and devices
 Q
INIT D TR^QCC("INIT^QEXT") S:$G(EXTTEXT)="" EXTTEXT="Gr"_$C(252,223)_"e aus der Praxis" S:$G(EXTDIENST)="" EXTDIENST=1 Q
DIENST(x) D TR^QCC("DIENST^QEXT("_$$A^QCC($G(x))_")")
 Q:x'?1.2N!(x<1)!(x>14) "Bitte einen Dienst von 1 bis 14 eingeben."
 Q ""
 ; Field 3 on entry: what the last service left.
FO(n) Q:+n'=3  D TR^QCC("FO^QEXT(3)") S EXTERG=$$LAST() Q
LAST() N s,i,x S s=+$G(^ZEXT($J,"DIENST")) Q:'s ""
 I s<3 S x="",i="" F  S i=$O(^ZEXT($J,"SYM",i)) Q:i=""  S x=x_$S(x="":"",1:" / ")_^ZEXT($J,"SYM",i)
 I s<3 Q $S(x="":"(kein Symbol)",1:x)
 I s=10 Q "QS-Bogen "_$S($G(QSFIELD)="":"",1:"mit "_QSFIELD_" Feldern ")_"abgeschlossen"
 I s=11 S x="",i="" F  S i=$O(^TEMPQSF($J,"QS-FILTER",i)) Q:i=""  S x=x_$S(x="":"",1:", ")_i_": "_$G(^TEMPQSF($J,"QS-FILTER",i,1,"MODUL"))
 I s=11 Q $S(x="":"(keine Module)",1:x)
 I s=12 Q "Messwert: "_$G(^TEMPPORT($J,"PORT","A"))
 Q $G(^ZEXT($J,"LOG"))
 ; Leaving field 2 posts the request of the chosen service.
TEXT(x) N s,r S s=+$G(EXTDIENST),r="^QTEMP("_$J_","
 D TR^QCC("TEXT^QEXT("_$$A^QCC($G(x))_")")
 ; The client asks again as the focus leaves: the request is out already.
 Q:$D(%KFOCUS) ""
 K ^ZEXT($J) S ^ZEXT($J,"DIENST")=s
 I s=1 S ^QTEMP(%JOB,"QR-CODE",1)=x_$C(167)_"^ZEXT("_$J_",""SYM""," Q ""
 I s=2 S ^QTEMP(%JOB,"DATAMATRIX",1)=x_$C(167)_"^ZEXT("_$J_",""SYM""," Q ""
 I s>2,s<6 D CASE($P("2,1,3",",",s-2),"DRG^QEXT") Q ""
 I s=6 S ^QTEMP(%JOB,"KODIP")=1_$C(167)_"KODIP^QEXT",^QTEMP(%JOB,"KODIP","EINGABETEXT")=x Q ""
 I s=7 S ^QTEMP(%JOB,"KODIP")=3_$C(167)_"KODIP^QEXT",^QTEMP(%JOB,"KODIP","EINGABETEXT")=x Q ""
 I s=8 D CODECASE Q ""
 I s=9 D FACADE(x) Q ""
 I s=10 D QSMED Q ""
 I s=11 D QSFILTER Q ""
 I s=12 S ^QTEMP(%JOB,"USYS10","PORT")="COM7"_$C(167)_"9600"_$C(167)_"0"_$C(167)_"8"_$C(167)_"0"_$C(167)_"3"_$C(167)_"1" S %F="",%INF="Das Messger"_$C(228)_"t an COM7 wurde abgefragt." Q ""
 I s=13 S ^QTEMP(%JOB,"SOUND","PATH")="C:\TEMP\vorlan-klang.wav",^QTEMP(%JOB,"SOUND","PARA")="SND_FILENAME" S %F="",%INF="Der Klang wurde gespielt." Q ""
 I s=14 S ^QTEMP(%JOB,"POCKET")=1,%F="",%INF="Pocket: Art "_+$G(^Z("POCKET","ART"))_", nichts weiter zu tun." Q ""
 Q ""
 ; The demo's DRG case: every field, the diagnoses in two parts, three procedures, two dates.
CASE(grouper,rtn) N f,i
 S ^QTEMP(%JOB,"%DRG")=""_$C(167)_rtn_$C(167)_"1"_$C(167)_"Demo"_$C(167)_grouper
 F i=1:1 S f=$P($T(FIELDS+i),";",2,99) Q:f=""  S ^QTEMP(%JOB,"%DRG",1,$P(f,";"))=$P(f,";",2,99)
 S ^QTEMP(%JOB,"%DRG",1,"NACHNAME")="M"_$C(252)_"ller"
 S ^QTEMP(%JOB,"%DRG",1,"ICD",1)="I21.0;",^QTEMP(%JOB,"%DRG",1,"ICD",2)="E11.9;"
 S ^QTEMP(%JOB,"%DRG",1,"OPS",1)="8-837.00;5-893.1;",^QTEMP(%JOB,"%DRG",1,"OPS",2)="1-275.0;"
 S ^QTEMP(%JOB,"%DRG",1,"OPSDATUM",1)="02.03.2025;03.03.2025;"
 Q
FIELDS ;
 ;ICDVER;2025
 ;OPSVER;2025
 ;GESCHLECHT;1
 ;GEBDATUM;01.02.1950
 ;AUFNDATUM;01.03.2025
 ;ENTLDATUM;10.03.2025
 ;ALTERJAHR;75
 ;ALTERTAG;0
 ;VWD;9
 ;UNZULVWD;0
 ;BEURLAUBUNGSTAGE;1
 ;TAGESFALL;0
 ;ENTLMODUS;01
 ;GEBGEWICHT;3100
 ;AUFNGEWICHT;2900
 ;BEATMUNG;12
 ;BEHANDLUNG;HA
 ;AUFNANLASS;E
 ;ABTTYP;100
 ;ICD;I21.0;E11.9;
 ;ENTLART;01
 ;AUFNGRUND;0101
 ;VORNAME;Anna
 ;FALLNR;F-7
 ;
 ; Mode 5: two diagnoses and one procedure, grouped by the coding component itself.
CODECASE S ^QTEMP(%JOB,"KODIP")=5_$C(167)_"KODIP^QEXT"_$C(167)_"Demo-Fall"
 S ^QTEMP(%JOB,"KODIP",1,"TEXT")="Herzinfarkt",^QTEMP(%JOB,"KODIP",1,"ICD")="I21.0",^QTEMP(%JOB,"KODIP",1,"HAUPTDIAGKZ")="1"
 S ^QTEMP(%JOB,"KODIP",2,"TEXT")="Diabetes",^QTEMP(%JOB,"KODIP",2,"ICD")="E11.9"
 S ^QTEMP(%JOB,"KODIP","OP",1,"TEXT")="Koronarangiographie",^QTEMP(%JOB,"KODIP","OP",1,"OPS")="1-275.0",^QTEMP(%JOB,"KODIP","OP",1,"HAUPTPROZKZ")="1"
 D CASE("","")
 Q
FACADE(x) S ^QTEMP(%JOB,"KODIP")=6_$C(167)_"KODIP^QEXT",^QTEMP(%JOB,"KODIP","WJ")="2025",^QTEMP(%JOB,"KODIP","ICDKEY")="Fraktur & Luxation"
 S %GBL="^ZEXT("_$J_",""FASSADE"")",%ZZ=1,%PP="CODE"
 Q
QSMED S ^QTEMP(%JOB,"QSMED","USER")=$G(%USER),^QTEMP(%JOB,"QSMED","ABT")="CHI",^QTEMP(%JOB,"QSMED","AUFNUM")="4711"
 S ^QTEMP(%JOB,"QSMED","OPNR")="1",^QTEMP(%JOB,"QSMED","PNAME")="M"_$C(252)_"ller, Anna",^QTEMP(%JOB,"QSMED","GEBDATUM")="01.02.1950",^QTEMP(%JOB,"QSMED","UID")="U1"
 S ^QTEMP(%JOB,"QSMED","FELD",1,"FELDNAME")="GEWICHT",^QTEMP(%JOB,"QSMED","FELD",1,"FELDWERT")="2900"
 S ^QTEMP(%JOB,"QSMED","FELD",2,"FELDNAME")="BEATMUNG",^QTEMP(%JOB,"QSMED","FELD",2,"FELDWERT")="12"
 S QSFIELD=2,%F="",%INF="Der QS-Bogen wurde ausgef"_$C(252)_"llt."
 Q
QSFILTER N c S ^QTEMP(%JOB,"QS-FILTER","IKNRKH")="260123456",^QTEMP(%JOB,"QS-FILTER","PRUEFEFALL")="1",^QTEMP(%JOB,"QS-FILTER","STATISTICSYEAR")="2025"
 F c=1,2 D
 . S ^QTEMP(%JOB,"QS-FILTER","FALL",c,"AUFNNR")="A"_c,^QTEMP(%JOB,"QS-FILTER","FALL",c,"AUFNDATUM")="01.03.2025",^QTEMP(%JOB,"QS-FILTER","FALL",c,"ENTLDATUM")="10.03.2025"
 . S ^QTEMP(%JOB,"QS-FILTER","FALL",c,"ICD")=$S(c=1:"I21.0",1:"S72.0"),^QTEMP(%JOB,"QS-FILTER","FALL",c,"OPS")="1-275.0",^QTEMP(%JOB,"QS-FILTER","FALL",c,"ALTERJ")=70+c
 . S ^QTEMP(%JOB,"QS-FILTER",c,"ENTGELT",1)="70010001",^QTEMP(%JOB,"QS-FILTER",c,"ENTGELT",2)="7001000"_(c+1)
 S %F="",%INF="Die QS-Pr"_$C(252)_"fung ist gelaufen."
 Q
 ; Callbacks: the grouper's results, and the codes of the coding component.
DRG N r,x D TR^QCC("DRG^QEXT")
 F r="DRG","DRGTEXT","MDC","MDCTEXT","PCCL","PCCLTEXT","DVWD","KLTP","LLTP","DRGCW","DRGDM","VERSION" S ^ZEXT($J,"DRG",r)=$G(^QTEMP(%JOB,"%DRG",1,r))
 S x="DRG "_^ZEXT($J,"DRG","DRG")_" ("_^ZEXT($J,"DRG","DRGTEXT")_"), PCCL "_+^ZEXT($J,"DRG","PCCL")
 S:^ZEXT($J,"DRG","VERSION")'="" x=x_", "_^ZEXT($J,"DRG","VERSION")
 S ^ZEXT($J,"LOG")=x,%F="",%INF=x
 Q
KODIP N x,i D TR^QCC("KODIP^QEXT")
 M ^ZEXT($J,"KODIP")=^QTEMP(%JOB,"KODIP")
 S x="" F i=1:1 Q:'$D(^QTEMP(%JOB,"KODIP",i))  S x=x_$S(x="":"",1:", ")_$$CODE(i)
 I $D(^QTEMP(%JOB,"KODIP","OP")) S x=x_"; OPS "_$G(^QTEMP(%JOB,"KODIP","OP",1,"OPS"))
 I $G(%GBL)'="",$D(@%GBL@(1,"CODE")) S x=@%GBL@(1,"CODE") K %GBL,%ZZ,%PP
 S x="Kodiert: "_$S(x="":"(nichts)",1:x),^ZEXT($J,"LOG")=x,%F="",%INF=x
 Q
 ; The code of result i: a diagnosis of modes 1 and 5, or a procedure of mode 3.
CODE(i) N c S c=$G(^QTEMP(%JOB,"KODIP",i,"ICD")) Q:c'="" c
 S c=$G(^QTEMP(%JOB,"KODIP",i,"ICD10")) Q:c'="" c
 Q $G(^QTEMP(%JOB,"KODIP",i,"OPS"))
