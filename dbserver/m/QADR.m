QADR ; demo application: the addresses (^ADR) of the screen ADR, its page ADRKOM and its dialog ADRDET
 Q
 ; ^ADR(nr) = name§first name§place§birth date (TT.MM.JJJJ)§active (J/N), ^ADR(nr,"NOTIZ",k)
 ; the note's lines, ^ADR(nr,"DET") = salutation§title§company, ^ADR(nr,"KOM") = phone§
 ; e-mail, ^ADR(nr,"ABLAGE") = folder§date of the last filing; ^ADR counts the numbers.
 ;
 ; ---- checks of field values: the refusal text, or "" taking x as left here
NAME(x) S x=$$TRIM(x)
 Q:x="" "Bitte einen Namen angeben."
 Q:$TR(x,$$LETTERS()_" -")'="" "Der Name darf nur Buchstaben, Leerzeichen und Bindestriche enthalten."
 Q ""
ORT(x) S x=$$TRIM(x) Q:x="" "Bitte einen Ort angeben."  Q ""
GEB(x) N d Q:x="" ""
 S d=$$TT^QDT(x) Q:d="" "Bitte ein g"_$C(252)_"ltiges Geburtsdatum angeben (TT.MM.JJJJ)."
 S x=d Q ""
MAIL(x) S x=$$TRIM(x) Q:x=""!(x?1.E1"@"1.E) ""
 Q "Die E-Mail-Adresse braucht ein @ zwischen Name und Domain."
TRIM(x) F  Q:$E(x)'=" "  S x=$E(x,2,$L(x))
 F  Q:$E(x,$L(x))'=" "  S x=$E(x,1,$L(x)-1)
 Q x
LETTERS() N i,s S s="ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
 F i=192:1:255 S:i'=215&(i'=247) s=s_$C(i)
 Q s
 ;
 ; ---- ADR: a new address on opening and with F5
LEER S (ADRNR,ADRNAME,ADRVORN,ADRORT,ADRGEB,ADRANR,ADRTIT,ADRFIR)="",ADRAKT="J" K NOTIZ Q
NEU D TR^QCC("NEU^QADR"),LEER S %VL=1 Q
 ; F1 and FSAVE; ADRNR goes on to the page ADRKOM.
SAVE N %qk
 S:$G(ADRNR)="" ADRNR=$I(^ADR)
 S ^ADR(ADRNR)=$G(ADRNAME)_$C(167)_$G(ADRVORN)_$C(167)_$G(ADRORT)_$C(167)_$G(ADRGEB)_$C(167)_$S($G(ADRAKT)="J":"J",1:"N")
 S ^ADR(ADRNR,"DET")=$G(ADRANR)_$C(167)_$G(ADRTIT)_$C(167)_$G(ADRFIR)
 K ^ADR(ADRNR,"NOTIZ") D BOX^QCC("NOTIZ")
 S %qk="" F  S %qk=$O(NOTIZ(%qk)) Q:%qk=""  S ^ADR(ADRNR,"NOTIZ",%qk)=NOTIZ(%qk)
 S %INF="Adresse "_ADRNR_" gespeichert."
 Q
 ; ---- the keys of ADR
HINWEIS D TR^QCC("HINWEIS^QADR")
 S %MESSAGE="Name: "_$G(ADRNAME)_$C(13,10)_"Vorname: "_$G(ADRVORN)_$C(13,10)_"Ort: "_$G(ADRORT)
 S ^QTEMP($J,"%MESSAGE")=1
 Q
LOESCHEN D TR^QCC("LOESCHEN^QADR")
 I '$$SAVED() S %F="Die Adresse ist noch nicht gespeichert." Q
 S ^QTEMP($J,"KLICKBUTTON")="Adresse "_ADRNR_" ("_$G(ADRNAME)_") l"_$C(246)_"schen?"_$C(167)_"LOESCH^QADR("_ADRNR_")"_$C(167)
 Q
 ; The answer yes: the form's fields stay, a save makes them a new address.
LOESCH(%qnr) D TR^QCC("LOESCH^QADR("_$$A^QCC($G(%qnr))_")")
 S %qnr=+$G(%qnr) K:%qnr ^ADR(%qnr) S:$G(ADRNR)=%qnr ADRNR=""
 Q
KOPIE D TR^QCC("KOPIE^QADR")
 K ^QTEMP($J,"%CLIPBOARD")
 S ^QTEMP($J,"%CLIPBOARD",1)=$$TRIM($G(ADRVORN)_" "_$G(ADRNAME))_$C(13,10)
 S ^QTEMP($J,"%CLIPBOARD",2)=$G(ADRORT)_$C(13,10)
 S:$G(ADRGEB)'="" ^QTEMP($J,"%CLIPBOARD",3)="geb. "_ADRGEB_$C(13,10)
 Q
ABLAGE D TR^QCC("ABLAGE^QADR")
 I '$$SAVED() S %F="Bitte die Adresse zuerst speichern." Q
 K ^QTEMP($J,"FILESORT")
 S ^QTEMP($J,"FILESORT","SOURCE")="C:\TEMP"
 S ^QTEMP($J,"FILESORT","DESTINATION")="C:\TEMP\Ablage\"_ADRNR
 S ^QTEMP($J,"FILESORT","TEXT")="Dateien zur Adresse "_ADRNR_" ablegen"
 S ^QTEMP($J,"FILESORT","RTN")="ABGELEGT^QADR("_ADRNR_")"
 Q
 ; Files were copied for the address.
ABGELEGT(%qnr) D TR^QCC("ABGELEGT^QADR("_$$A^QCC($G(%qnr))_")")
 S %qnr=+$G(%qnr) S:$D(^ADR(%qnr)) ^ADR(%qnr,"ABLAGE")="C:\TEMP\Ablage\"_%qnr_$C(167)_$ZDATE($H,"DD.MM.YEAR")
 Q
ORDNER D TR^QCC("ORDNER^QADR") S %WIN("PRGEXEC","PATH")="%program%" Q
 ; Every address in a new workbook, one row each under a title row.
EXCEL N %qnr,%qrow D TR^QCC("EXCEL^QADR")
 K ^QTEMP($J,"EXCEL") S ^QTEMP($J,"%EXCEL")=1
 D ROW(1,"Nr"_$C(167)_"Name"_$C(167)_"Vorname"_$C(167)_"Ort"_$C(167)_"Geburtsdatum"_$C(167)_"Aktiv")
 S %qnr=0,%qrow=1 F  S %qnr=$O(^ADR(%qnr)) Q:%qnr=""!(%qrow>500)  S %qrow=%qrow+1 D ROW(%qrow,%qnr_$C(167)_^ADR(%qnr)) S ^QTEMP($J,"EXCEL","A"_%qrow,"F")=1
 Q
ROW(%qrow,%qvals) N %qc
 F %qc=1:1:$L(%qvals,$C(167)) S ^QTEMP($J,"EXCEL",$C(64+%qc)_%qrow)=$P(%qvals,$C(167),%qc)
 Q
SAVED() Q $G(ADRNR)'=""&''$D(^ADR(+$G(ADRNR)))
 ;
 ; ---- ADRKOM shows the communication of ADRNR, read again when another address came
KOM N %qkom Q:$D(ADRKOMNR)&($G(ADRKOMNR)=$G(ADRNR))
 S ADRKOMNR=$G(ADRNR),%qkom=$G(^ADR(+ADRKOMNR,"KOM")),ADRTEL=$P(%qkom,$C(167)),ADRMAIL=$P(%qkom,$C(167),2)
 Q
KOMPRUEF() Q:$$SAVED() 0
 S %F="Bitte zuerst die Adresse speichern." Q 1
KOMSAVE S ^ADR(ADRNR,"KOM")=$G(ADRTEL)_$C(167)_$G(ADRMAIL)
 S %INF="Kommunikation der Adresse "_ADRNR_" gespeichert."
 Q
 ; ---- ADRDET: its save hands its fields back to the opener (the key's list, or all of them
 ; after the button).
DETSAVE S %VL1=1 Q
