QDAT ; demo application: the screen DAT, jobs on the workstation's files in C:\TEMP\VORLAN\
 Q
 ; Each key posts one "%FILE" request of several jobs, taken in the order of their keys. The
 ; last job of a request writes BERICHT.TXT, and its routine shows what the jobs before left.
 ; A job's parameters: §§§block size§operation§target§option§result§second target§second
 ; prefix§command§command middle§delete flag.
JOB(key,path,op,target,option,ref,blk,second,prefix2,cmd,mid,del)
 S ^QTEMP(%JOB,"%FILE",0,key)=path
 S ^QTEMP(%JOB,"%FILE",path)=$C(167,167,167)_$G(blk,512)_$C(167)_op_$C(167)_$G(target)_$C(167)_$G(option)_$C(167)_$G(ref)_$C(167)_$G(second)_$C(167)_$G(prefix2)_$C(167)_$G(cmd)_$C(167)_$G(mid)_$C(167)_$G(del)
 Q
 ; Data nodes of a written file: $C(1,2) is byte 0, $C(1,1) byte 1, $C(1,3) "<".
DATA(path,n,text) S ^QTEMP(%JOB,"%FILE",path,n)=text Q
REPORT(key,what) D JOB(key,"C:\TEMP\VORLAN\BERICHT.TXT",1,"SHOW^QDAT("""_what_""")"),DATA("C:\TEMP\VORLAN\BERICHT.TXT",1,"Bericht "_what) Q
 ; A fresh number for the folders that collect and import never overwrite.
NEXT() Q $I(^ZDAT("LAUF"))
 ;
 ; F5: bytes 0, 1 and "<" written, then read back in blocks of 4 (the second spelling of the
 ; path keeps the two jobs' parameters apart).
BYTES D TR^QCC("BYTES^QDAT") K ^QTEMP(%JOB,"%FILE")
 D JOB(1,"C:\TEMP\VORLAN\BYTES.BIN",1,"WDONE^QDAT")
 D DATA("C:\TEMP\VORLAN\BYTES.BIN",1,"VORLAN"_$C(1,2,1,1,1)),DATA("C:\TEMP\VORLAN\BYTES.BIN",2,$C(3)_" Ende")
 D JOB(2,"c:\temp\vorlan\bytes.bin",2,"RDONE^QDAT","","",4)
 Q
 ; F6: 16-bit units with the little-endian mark, read back keeping the first byte of each.
WIDE D TR^QCC("WIDE^QDAT") K ^QTEMP(%JOB,"%FILE")
 D JOB(1,"C:\TEMP\VORLAN\WIDE.TXT",3,"WDONE^QDAT","LE"),DATA("C:\TEMP\VORLAN\WIDE.TXT",1,"Gr"_$C(252)_"n und Blau")
 D JOB(2,"c:\temp\vorlan\wide.txt",4,"RDONE^QDAT","","",8)
 Q
 ; F7: copy, shortcut and move, then the folder's listing.
COPY D TR^QCC("COPY^QDAT") K ^QTEMP(%JOB,"%FILE")
 D JOB(1,"C:\TEMP\VORLAN\BYTES.BIN",5,"C:\TEMP\VORLAN\KOPIE\BYTES.BIN")
 D JOB(2,"C:\TEMP\VORLAN\WIDE.TXT",6,"C:\TEMP\VORLAN\VERKNUEPFUNG")
 D JOB(3,"C:\TEMP\VORLAN\KOPIE\BYTES.BIN",7,"C:\TEMP\VORLAN\","VERSCHOBEN.BIN")
 D JOB(4,"C:\TEMP\VORLAN\*.*",8),REPORT(5,"DIR")
 Q
 ; F8: the folder's names that hold ".BIN".
LIST D TR^QCC("LIST^QDAT") K ^QTEMP(%JOB,"%FILE")
 D JOB(1,"C:\TEMP\VORLAN\*.*",8,"",".BIN"),REPORT(2,"DIR")
 Q
 ; F9: two files collected into a numbered archive folder, a second copy of each, the
 ; sources deleted.
COLLECT N n D TR^QCC("COLLECT^QDAT") K ^QTEMP(%JOB,"%FILE"),^TEMPDAT("NAME") S n=$$NEXT
 D JOB(1,"C:\TEMP\VORLAN\EINGANG\BRIEF A&B.TXT",1),DATA("C:\TEMP\VORLAN\EINGANG\BRIEF A&B.TXT",1,"Brief")
 D JOB(2,"C:\TEMP\VORLAN\EINGANG\POST+NOTIZ.TXT",1),DATA("C:\TEMP\VORLAN\EINGANG\POST+NOTIZ.TXT",1,"Notiz")
 D JOB(3,"C:\TEMP\VORLAN\EINGANG\*.*",9,"C:\TEMP\VORLAN\ARCHIV\"_n_"\","DOK","","","C:\TEMP\VORLAN\ZWEIT\"_n_"\","KOPIE","","",1)
 D REPORT(4,"NAME")
 Q
 ; F10: a narrow and a wide text file imported into ^TEMPDAT("TEXT") and archived.
IMPORT N n D TR^QCC("IMPORT^QDAT") K ^QTEMP(%JOB,"%FILE"),^TEMPDAT("TEXT"),^TEMPDAT("NAME") S n=$$NEXT
 D JOB(1,"C:\TEMP\VORLAN\IMPORT\LABOR.LDT",1)
 D DATA("C:\TEMP\VORLAN\IMPORT\LABOR.LDT",1,"8000"_$C(9)_"Befund"_$C(13,10)_"Name ""M"_$C(252)_"ller"""_$C(13,10))
 D JOB(2,"C:\TEMP\VORLAN\IMPORT\BREIT.TXT",3,"","BE"),DATA("C:\TEMP\VORLAN\IMPORT\BREIT.TXT",1,"Breit")
 D JOB(3,"C:\TEMP\VORLAN\IMPORT\*.*",10,"C:\TEMP\VORLAN\IMPORTIERT\"_n_"\")
 D REPORT(4,"TEXT")
 Q
 ; F11: every file but documents and programs imported into ^ZDAT(job) and moved away.
ALL N n D TR^QCC("ALL^QDAT") K ^QTEMP(%JOB,"%FILE"),^ZDAT($J) S n=$$NEXT
 D JOB(1,"C:\TEMP\VORLAN\ALLE\NOTIZ.TXT",1),DATA("C:\TEMP\VORLAN\ALLE\NOTIZ.TXT",1,"Erste Zeile"_$C(10)_"Zweite"_$C(9)_"Zeile")
 D JOB(2,"C:\TEMP\VORLAN\ALLE\RECHNUNG.PDF",1),DATA("C:\TEMP\VORLAN\ALLE\RECHNUNG.PDF",1,"%PDF")
 D JOB(3,"C:\TEMP\VORLAN\ALLE\*.*",11,"C:\TEMP\VORLAN\FERTIG\"_n_"\","","^ZDAT($J,")
 D REPORT(4,"ALLE")
 Q
 ;
 ; The routines the client runs after a job, with FILE and OKAY. The client shows %INF only
 ; while %F exists.
WDONE D TR^QCC("WDONE^QDAT "_$$A^QCC($G(FILE))_" "_$G(OKAY))
 S %INF=$S(OKAY:"Geschrieben: "_FILE,1:"Nicht geschrieben: "_FILE),%F=""
 Q
RDONE N n,s,k D TR^QCC("RDONE^QDAT "_$$A^QCC($G(FILE))_" "_$G(OKAY))
 S %F="" I 'OKAY S %INF="Nicht gelesen: "_FILE Q
 S n=0,s="",k="" F  S k=$O(^QTEMP(%JOB,"%FILE",FILE,k)) Q:k=""  S n=n+1,s=s_^(k)
 S %INF="Gelesen: "_FILE_$C(13,10)_n_" Bl"_$C(246)_"cke, "_$L(s)_" Bytes:"_$C(13,10)_$$CODES(s)
 Q
CODES(s) N i,out S out="" F i=1:1:$L(s) S out=out_$S(i>1:" ",1:"")_$A(s,i)
 Q out
SHOW(what) N s,k,l,n D TR^QCC("SHOW^QDAT("_$$A^QCC($G(what))_")")
 S s="",k=""
 I what="DIR" F  S k=$O(^TEMPDAT(%JOB,%DN,"DIR",k)) Q:k=""  S s=s_$C(13,10)_^(k)_"   "_$G(^(k,"TIME"))
 I what="NAME" F  S k=$O(^TEMPDAT("NAME",k)) Q:k=""  S s=s_$C(13,10)_k_" ("_^(k)_")"
 I what="TEXT" F  S k=$O(^TEMPDAT("TEXT",k)) Q:k=""  S n=0,l="" F  S l=$O(^TEMPDAT("TEXT",k,l)) Q:l=""  S n=n+1 I n=1 S s=s_$C(13,10)_k_": "_^(l)
 I what="ALLE" F  S k=$O(^ZDAT($J,"TEXT",k)) Q:k=""  S l=$O(^ZDAT($J,"TEXT",k,""),-1) S s=s_$C(13,10)_k_": "_l_" Zeilen"
 S %INF=$S(s="":"Nichts gefunden.",1:"Ergebnis:"_s),%F=""
 Q
