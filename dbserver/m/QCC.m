QCC ; demo application: the routines the client calls on its main road
 Q
 ; Text for the client's wait dialog while job is busy: text§title§keep polling§log line.
 ; Long-running code says what it does with D BUSY^QCC(text).
WAITING(job) N text,alive
 S job=+job,alive=$S(job>0:$ZGETJPI(job,"ISPROCALIVE"),1:0)
 S text=$G(^%CONTROL(job,"BUSY"))
 I text="" S text=$S(alive:"Der Server bearbeitet die Anfrage.",1:"Der Auftrag ist beendet.")
 Q text_$C(167)_$C(167)_alive_$C(167)
BUSY(text) S ^%CONTROL($J,"BUSY")=text Q
 ; Errors the client met: recorded per job. Code that reports its own failures sets
 ; %ZERRACCEPT and the error is taken (1); "" lets the client show its own dialog.
ERROR(text) N n
 S n=$I(^%CONTROL($J,"ERROR")),^%CONTROL($J,"ERROR",n)=$H_" "_text
 Q $S($G(%ZERRACCEPT):1,1:"")
 ;
 ; Every entry below that the client calls leaves ^ZTRACE(n) = job, a blank, the entry and
 ; its arguments (passwords as "..."), n counting up from 1: tests read the dialogue there.
TR(text) N n S n=$I(^ZTRACE),^ZTRACE(n)=$J_" "_text Q
 ; An argument as the client wrote it: numbers plain, texts quoted.
A(x) Q:x=+x x
 Q """"_$$DQ(x)_""""
DQ(x) N i,out S out=$P(x,"""",1) F i=2:1:$L(x,"""") S out=out_""""""_$P(x,"""",i)
 Q out
 ;
 ; ---- log-in: users in ^QUSR(user) = password§group§name, the same in every namespace
LOGIN(user,pw) N rec
 D TR("LOGIN^QCC("_$$A($G(user))_",""..."")")
 S user=$G(user),pw=$G(pw),rec=$S(user="":"",1:$G(^QUSR(user)))
 I rec=""!($P(rec,$C(167),1)'=pw) Q ""
 S %USER=user,%BG=$P(rec,$C(167),2),%JOB=$J,%DL=$C(167),%UCI=$$NS^QUCI()
 S:$G(%LAN)="" %LAN="D" S:'$D(%WIN) %WIN="" S:'$D(%DN) %DN=""
 ; The client kills a form's variables with X %KILL, or with W %KILL less its ")" and
 ; names of its own; K @%NEW drops the client's scratch of one step.
 S %KILL=$$KEEP(),%NEW="%FKEY,%FORWARD,%KFOCUS,%QCC,%QCD,%ZZP"
 K ^%QVARS($J)
 Q 1
 ; The namespace's clients and the last three business years for the log-in lists; answers
 ; the user's client and the current year.
INIT() N mi,y,cur
 D TR("INIT^QCC()")
 S:$G(%JOB)="" %JOB=$J
 K ^QTEMP(%JOB,"MI"),^QTEMP(%JOB,"WJ")
 S cur=$ZDATE($H,"YEAR"),mi=""
 F  S mi=$O(^QSYS("MI",mi)) Q:mi=""  S ^QTEMP(%JOB,"MI",mi)=^QSYS("MI",mi) F y=cur-2:1:cur S ^QTEMP(%JOB,"WJ",mi,y)=""
 S mi=$G(^QUSR($G(%USER,"?"),"MI")) S:mi'="" mi=$S($D(^QSYS("MI",mi)):mi,1:"")
 S:mi="" mi=$O(^QSYS("MI",""))
 Q:mi="" ""
 Q mi_$C(167)_cur
LOGOUT D TR("LOGOUT^QCC")
 K:$G(%JOB)'="" ^QTEMP(%JOB)
 K ^%QVARS($J)
 K %USER,%BG,%MEMO,BGTEST
 Q
 ; Amounts of the client in euro (1) or not: every demo client keeps euro.
EURO() D TR("EURO^QCC()") Q 1
 ; Free space of the database: nothing to report here.
SPACETST() D TR("SPACETST^QCC()") Q 0
SPACE() D TR("SPACE^QCC()") Q ""
 ;
 ; ---- menus: ^QME("MNU","^"_path,k) = memo§text§image§kind ("F" a folder), k the entry's
 ; number below the path; an entry's own path is path_(k-1). ^QME("OFF",user,entry) hides an
 ; entry from a user; ^QME("MEMO",memo) names its screen; ^QME("NR",n) numbers entries.
INIMNU() D TR("INIMNU^QCC()") Q $G(^QME("ROOT"))
 ; The entries below a path: number§memo§text§flag§ each, leaves negative. The flag is the
 ; image; with BGTEST set (menu edit mode) it is 1 for the entries the edited user may use.
GETMNU(path) N k,rec,out,edit,entry
 D TR("GETMNU^QCC("_$$A($G(path))_")")
 S path=$G(path),edit=$D(BGTEST)#2,out="",k=""
 F  S k=$O(^QME("MNU","^"_path,k)) Q:k=""  D
 . S rec=^QME("MNU","^"_path,k),entry=path_(k-1)
 . I 'edit,$D(^QME("OFF",$G(%USER,"?"),entry))#2 Q
 . S out=out_$S($P(rec,$C(167),4)="F":k,1:-k)_$C(167)_$P(rec,$C(167),1)_$C(167)_$P(rec,$C(167),2)_$C(167)
 . S out=out_$S('edit:$P(rec,$C(167),3),$D(^QTEMP($G(%JOB,$J),"M998",entry))#2:"",1:1)_$C(167)
 Q out
 ; Menu edit mode: the edited user's switches live in ^QTEMP until SAV998 keeps them.
INI998(user) D TR("INI998^QCC("_$$A($G(user))_")")
 Q:$G(user)=""
 K ^QTEMP($G(%JOB,$J),"M998") M ^QTEMP($G(%JOB,$J),"M998")=^QME("OFF",user)
 Q
SETMNU(path,on) D TR("SETMNU^QCC("_$$A($G(path))_","_$$A($G(on))_")")
 Q:$G(path)=""
 I $G(on) K ^QTEMP($G(%JOB,$J),"M998",path) Q
 S ^QTEMP($G(%JOB,$J),"M998",path)=""
 Q
SAV998(user) D TR("SAV998^QCC("_$$A($G(user))_")")
 Q:$G(user)=""
 K ^QME("OFF",user) M ^QME("OFF",user)=^QTEMP($G(%JOB,$J),"M998")
 Q
ENDMNU D TR("ENDMNU^QCC")
 K ^QTEMP($G(%JOB,$J),"M998"),BGTEST
 Q
 ; A menu entry by number: memo§text§path§screen; by memo name: the screen alone. Both set
 ; %MEMO and %MEMO("PATH") (the entry's path in the menu tree).
SELECTM(x) N memo,path,text
 D TR("SELECTM^QCC("_$$A($G(x))_")")
 S x=$G(x),memo=$S(x="":"",x=+x:$G(^QME("NR",x)),1:x)
 Q:memo="" ""
 Q:'$D(^QME("MEMO",memo)) ""
 D FIND(memo,.path,.text)
 S %MEMO=memo,%MEMO("PATH")=path
 Q:x'=+x ^QME("MEMO",memo)
 Q memo_$C(167)_text_$C(167)_path_$C(167)_^QME("MEMO",memo)
 ; The first menu entry with the memo name: its path in the tree and its text ("" for both
 ; when the menu has none).
FIND(memo,path,text) N p,k S (path,text)="",p=""
 F  S p=$O(^QME("MNU",p)) Q:p=""!(path'="")  S k="" F  S k=$O(^QME("MNU",p,k)) Q:k=""  I $P(^QME("MNU",p,k),$C(167),1)=memo S path=$E(p,2,$L(p))_(k-1)_",",text=$P(^QME("MNU",p,k),$C(167),2) Q
 Q
 ;
 ; ---- screens: the init code of ^QM(screen,0,"INIT") and of the tabs runs here
PRGINIT(code) D TR("PRGINIT^QCC("_$$A($G(code))_")")
 X:$G(code)'="" code
 Q
TIMER() D TR("TIMER^QCC()") Q ""
 ;
 ; ---- the standing variables, which every kill of a form's variables keeps: the log-in's,
 ; the frame's (client, year, workplace, workstation, home, module, memo), the form
 ; protocol's own and dbserver's %SYS. %NOKILL stays too: one screen lifts another's refusal
 ; to close.
STAND() Q "%AP,%BG,%DL,%DN,%HDD,%HOME,%JOB,%KILL,%LAN,%MEMO,%MI,%MODUL,%MUMPS,%NEW,%NOKILL,%SYS,%UCI,%USER,%WIN,%WJ,%WORKSTATION,%WS"
 ; The kill command that keeps them and the names in `also`.
KEEP(also) Q "K ("_$$STAND()_$S($G(also)="":"",1:","_also)_")"
 ;
 ; ---- variable sets: a form's locals wait in ^%QVARS(job,name) while another form is the
 ; current one. The %-global is the same in every namespace: a sub-dialog in another
 ; namespace gives its variables back to its opener. "TEMP" hands variables between forms.
VARSAVE(%qset) D TR("VARSAVE^QCC("_$$A($G(%qset))_")"),SAVE($G(%qset)) Q
VARLOAD(%qset) D TR("VARLOAD^QCC("_$$A($G(%qset))_")"),LOAD($G(%qset)) Q
LOADVARS(%qset) D TR("LOADVARS^QCC("_$$A($G(%qset))_")"),LAY($G(%qset)) Q
KILLVARS(%qset) D TR("KILLVARS^QCC("_$$A($G(%qset))_")"),DROP($G(%qset)) Q
 ; A page starting over keeps its frame's tab variables (the list given).
KILL(%qset) D TR("KILL^QCC("_$$A($G(%qset))_")") X $$KEEP($G(%qset)) Q
 ; Every local but the standing ones; %DN and %NEW are kept with the set.
SAVE(%qset) N %qvar Q:%qset=""
 K ^%QVARS($J,%qset)
 S %qvar="%" F  D:$D(@%qvar)  S %qvar=$O(@%qvar) Q:%qvar=""
 . Q:$E(%qvar,1,2)="%q"  Q:%qvar'="%DN"&(%qvar'="%NEW")&((","_$$STAND()_",")[(","_%qvar_","))
 . M ^%QVARS($J,%qset,%qvar)=@%qvar
 Q
LOAD(%qset) X $$KEEP("%qset") D LAY(%qset,1) S:'$D(%DN) %DN="" Q
 ; Each variable of the set replaces the local of its name; the current form keeps its
 ; name unless the whole set is loaded.
LAY(%qset,%qall) N %qvar Q:%qset=""
 S %qvar="" F  S %qvar=$O(^%QVARS($J,%qset,%qvar)) Q:%qvar=""  I %qvar'="%DN"!$G(%qall) K @%qvar M @%qvar=^%QVARS($J,%qset,%qvar)
 Q
DROP(set) K:set'="" ^%QVARS($J,set) Q
