QAKT ; demo application: the patient record's scanned pages
 Q
 ; $$SCAN^QAKT(code): the page with that barcode belongs to Befunde\Bilder of the record
 ; of a demo patient, for a code "<patient>-<anything>", named after the code with the
 ; characters a file name cannot hold as "_"; "" for an empty or unknown code.
SCAN(code) N n,name D TR^QCC("SCAN^QAKT("_$$A^QCC(code)_")")
 Q:code'?1.N1"-".E ""
 S n=$P(code,"-",1) Q:(n'=4711)&(n'=4712) ""
 S name=$TR(code,"\/:*?""<>|","_________")
 Q "C:\VORLAN\Akten\"_n_"\Befunde\Bilder\"_name_".jpg"
 ;
 ; The screen AKT: the record of patient n (a desktop icon's parameter, else 4711), with two
 ; folders of level 1 (a third hidden), three of level 2 ("Bilder" on top, "Labor" and what
 ; lies in it neither deleted nor renamed), two letters the server knows of (a third hidden;
 ; the "Arztbrief" neither deleted, copied, cut nor renamed), three state images and the
 ; context and drop-down menus.
INIT N n,name,e D TR^QCC("INIT^QAKT")
 S n=$G(%WIN("PARA")) K %WIN("PARA") S:n'?1.9N n=4711
 S name=$S(n=4711:"Erika Mustermann",n=4712:"Max Mustermann",1:"Patient "_n)
 K ^QTEMP(%JOB,"EXPLORER","AKT"),^QTEMP(%JOB,"NOVIEW","AKT")
 S e=$NA(^QTEMP(%JOB,"EXPLORER","AKT"))
 S @e@("SOURCE")="C:\VORLAN\Akten\"_n,@e@("THUMBS")="C:\VORLAN\Thumbs\"_n
 S @e@("D")="Akte "_name_" ("_n_")"
 S @e@("D",1,"Befunde")="Befunde"_$C(167)_"BEFUNDE"_$C(167)_"1"
 S @e@("D",1,"Korrespondenz")="Korrespondenz"_$C(167)_"KORRESPONDENZ"_$C(167)_"2"
 S @e@("D",1,"Intern")="Intern"_$C(167)_"INTERN"_$C(167)_"3"
 S ^QTEMP(%JOB,"NOVIEW","AKT","D",1,"Intern")=1
 S @e@("D",2,"Bilder"_$C(167)_"1")="Bilder"
 S @e@("D",2,"Briefe")="Briefe"
 S @e@("D",2,"Labor"_$C(167,167)_"17")="Labor"
 S @e@("D",3,"Korrespondenz","Briefe","Arztbrief.rtf"_$C(167,167)_"23")="Arztbrief"_$C(167)_"ARZTBRIEF"_$C(167)_"2"
 S @e@("D",3,"Korrespondenz","Briefe","Ueberweisung.txt")=$C(220)_"berweisung"_$C(167)_"UEBERWEISUNG"_$C(167)_"3"
 S @e@("D",3,"Korrespondenz","Briefe","Entwurf.rtf")="Entwurf"_$C(167)_"ENTWURF"_$C(167)_"1"
 S ^QTEMP(%JOB,"NOVIEW","AKT","D",3,"Korrespondenz","Briefe","Entwurf.rtf")=1
 S @e@("BITMAP")="1"_$C(167)_"2"_$C(167)_"3"
 D MENU(e,"F"),MENU(e,"X")
 Q
MENU(e,m) S @e@(m,1)="0"_$C(167)_"PAT"_$C(167)_"Patienten "_$C(246)_"ffnen"
 S @e@(m,2)="0"_$C(167,167)
 S @e@(m,3)="1"_$C(167)_"SUBDLG"_$C(167)_"Ort w"_$C(228)_"hlen"
 S @e@(m,4)="9"_$C(167)_"VERMERK"_$C(167)_"Nur vermerken"
 Q
