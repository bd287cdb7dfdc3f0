QDEX ; demo application: the screen DEX, a data explorer over ^ZDEX("RECHNUNG",...)
 Q
 ; The screen opens with the array in DEXREF; the late-loaded node gets its load routine
 ; and its placeholder back, so that it loads again on the first opening in every session.
INIT D TR^QCC("INIT^QDEX")
 S DEXREF="^ZDEX(""RECHNUNG"","
 K ^ZDEX("RECHNUNG",2021,"NACHTRAG")
 S ^ZDEX("RECHNUNG",2021,"NACHTRAG")="Nachtr"_$C(228)_"ge"
 S ^ZDEX("RECHNUNG",2021,"NACHTRAG",0,"HEADER")="Nr"_$C(167)_"Datum"_$C(167)_"Betrag"
 S ^ZDEX("RECHNUNG",2021,"NACHTRAG",0,"HEADER",1)="1"_$C(167)_"1"
 S ^ZDEX("RECHNUNG",2021,"NACHTRAG",0,"HEADER",2)="0"_$C(167)_"2"
 S ^ZDEX("RECHNUNG",2021,"NACHTRAG",0,"LOADRTN")="LOAD^QDEX"
 S ^ZDEX("RECHNUNG",2021,"NACHTRAG",1)="wird geladen"
 Q
 ; The load routine of "Nachträge": its rows replace the placeholder.
LOAD N i D TR^QCC("LOAD^QDEX")
 K ^ZDEX("RECHNUNG",2021,"NACHTRAG",1)
 F i=1:1:3 D
 . S ^ZDEX("RECHNUNG",2021,"NACHTRAG",i)=(900+i)_$C(167)_(10+i)_"122021"_$C(167)_(i*100)_",00"
 . S ^ZDEX("RECHNUNG",2021,"NACHTRAG",i,0,"FLAG")=3
 Q
 ; F5, also the double click: what the explorer reported.
FELD D TR^QCC("FELD^QDEX "_$G(%FELD))
 S %MESSAGE="Gemeldet: "_$TR($G(%FELD),$C(167),"|"),^QTEMP($J,"%MESSAGE")=1
 Q
