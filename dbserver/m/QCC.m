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
 Q user
 ; The namespace's clients and the last three business years for the log-in lists; answers
 ; the user's client and the current year, or the client and year the user's last session
 ; ended with (^%CONTROL("LAST",user) = client�year, kept by LOGOUT: a change of module
 ; logs in again with them).
INIT() N mi,y,cur
 D TR("INIT^QCC()")
 S:$G(%JOB)="" %JOB=$J
 K ^QTEMP(%JOB,"MI"),^QTEMP(%JOB,"WJ")
 S cur=$ZDATE($H,"YEAR"),mi=""
 F  S mi=$O(^QSYS("MI",mi)) Q:mi=""  S ^QTEMP(%JOB,"MI",mi)=^QSYS("MI",mi) F y=cur-2:1:cur S ^QTEMP(%JOB,"WJ",mi,y)=""
 S y=$G(^%CONTROL("LAST",$G(%USER,"?"))),mi=$P(y,$C(167),1) I mi'="",$D(^QSYS("MI",mi)) Q mi_$C(167)_$S($P(y,$C(167),2)'="":$P(y,$C(167),2),1:cur)
 S mi=""
 S mi=$G(^QUSR($G(%USER,"?"),"MI")) S:mi'="" mi=$S($D(^QSYS("MI",mi)):mi,1:"")
 S:mi="" mi=$O(^QSYS("MI",""))
 Q:mi="" ""
 Q mi_$C(167)_cur
LOGOUT D TR("LOGOUT^QCC")
 S:$G(%USER)'=""&($G(%MI)'="") ^%CONTROL("LAST",%USER)=%MI_$C(167)_$G(%WJ)
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
 ; The image number of the first menu entry with the memo name (0 when the menu has none):
 ; the icon desktop shows its icons with it.
GETMNUPI(memo) N p,k,pic D TR("GETMNUPI^QCC("_$$A($G(memo))_")") S memo=$G(memo),pic=0,p=""
 F  S p=$O(^QME("MNU",p)) Q:p=""!pic  S k="" F  S k=$O(^QME("MNU",p,k)) Q:k=""  I $P(^QME("MNU",p,k),$C(167),1)=memo S pic=+$P(^QME("MNU",p,k),$C(167),3) Q
 Q pic
 ;
 ; The menu catalogue of the icon desktop's properties: the entry after key in the order of
 ; the memo names, as "<memo> <text>" ("" after the last).
MENUNEXT(key) N p,k,m,best,text D TR("MENUNEXT^QCC("_$$A($G(key))_")") S key=$G(key),(best,text)="",p=""
 F  S p=$O(^QME("MNU",p)) Q:p=""  S k="" F  S k=$O(^QME("MNU",p,k)) Q:k=""  S m=$P(^QME("MNU",p,k),$C(167),1) I m'="",m]key,best=""!(best]m) S best=m,text=$P(^QME("MNU",p,k),$C(167),2)
 Q:best="" ""
 Q best_" "_text
 ; Whether a function takes a parameter: "J" and value/description pairs, else "N".
MENUINFO(memo) D TR("MENUINFO^QCC("_$$A($G(memo))_")") S memo=$G(memo)
 Q:(memo="AKT")!(memo="BLD") "J"_$C(167)_"4711"_$C(167)_"Erika Mustermann"_$C(167)_"4712"_$C(167)_"Max Mustermann"
 Q "N"
 ;
 ; ---- screens: the init code of ^QM(screen,0,"INIT") and of the tabs runs here
PRGINIT(code) D TR("PRGINIT^QCC("_$$A($G(code))_")")
 D:$G(%USER)'="" SEEN^QMIT(%USER,$G(%MEMO),$G(%DN))
 X:$G(code)'="" code
 Q
 ; The timer list of the current screen: ^QM(screen,0,"TIMER").
TIMER() D TR("TIMER^QCC()") Q:$G(%DN)="" ""  Q $G(^QM(%DN,0,"TIMER"))
 ;
 ; ---- the standing variables, which every kill of a form's variables keeps: the log-in's,
 ; the frame's (client, year, workplace, workstation, home, module, memo), the form
 ; protocol's own and dbserver's %SYS. %NOKILL stays too: one screen lifts another's refusal
 ; to close.
STAND() Q "%AP,%BG,%DL,%DN,%HDD,%HOME,%JOB,%KILL,%LAN,%MEMO,%MI,%MODUL,%MUMPS,%NEW,%NOKILL,%SYS,%UCI,%USER,%WIN,%WJ,%WORKSTATION,%WS"
 ; The kill command that keeps them and the names in `also`.
KEEP(also) Q "K ("_$$STAND()_$S($G(also)="":"",1:","_also)_")"
 ;
 ; ---- forms. ^QM(screen) = title; field k: ^QM(screen,k) = column§row§width§label§variable§
 ; kind§lines§password§tip§extras§most characters§button lines (the $$EDIT record with the
 ; variable in place of the value), ^QM(screen,k,"PR") the check of its value (label^routine
 ; of $$label(.x): the refusal text, or "" taking x), ^QM(screen,k,"LISTE") its popup list
 ; (^QTAB(list) = column title, ^QTAB(list,n) the entries), ^QM(screen,k,"DIALOG") the
 ; sub-dialog a button opens. ^QM(screen,0,...): "MAX" pieces 2-10 of $$MAX, "TASTE",key the
 ; key texts, "WQMD" the form's init (INIT^WQMD), "PRUEF" the screen's own check before
 ; saving (label^routine of $$label(): the failing field, %F saying why).
 ; Labels that read or write a form's variables name their own locals %q..., which no
 ; screen uses.
DIALOG(scr) D TR("DIALOG^QCC("_$$A($G(scr))_")") Q $$OPEN($G(scr))
EXIST(scr) D TR("EXIST^QCC("_$$A($G(scr))_")") Q $$OPEN($G(scr))
OPEN(scr) Q:scr="" 0  Q ''$D(^QM(scr))
DESTROY(dn) D TR("DESTROY^QCC("_$$A($G(dn))_")") D DROP($G(dn)) Q
 ; The form record: field count§pictures§grid from§to§free order§grid column§width§resize§
 ; edge§background picture.
MAX(scr) N rec
 D TR("MAX^QCC("_$$A($G(scr))_")")
 S scr=$G(scr),rec=$S(scr="":"",1:$G(^QM(scr,0,"MAX")))
 Q $$FIELDS(scr)_$C(167)_$S(rec="":"0"_$C(167)_"0"_$C(167)_"0",1:$P(rec,$C(167),2,10))
FIELDS(scr) Q:scr="" 0  Q +$O(^QM(scr,""),-1)
FIELD(scr,k) Q:scr=""!(+k<1) ""  Q $G(^QM(scr,+k))
 ; Multi-line fields (but a data explorer's array) and buttons carry no value: a text box comes
 ; through its array.
EDIT(%qscr,%qk) N %qrec,%qvar
 D TR("EDIT^QCC("_$$A($G(%qscr))_","_$$A($G(%qk))_")")
 S %qrec=$$FIELD($G(%qscr),$G(%qk)) Q:%qrec="" ""
 S %qvar=$P(%qrec,$C(167),5)
 ; Charts, list fields and explorers name their array at any height.
 S $P(%qrec,$C(167),5)=$S(%qvar="":"","^7^8^11^"[("^"_$P(%qrec,$C(167),6)_"^"):$$ESC($G(@%qvar)),'$P(%qrec,$C(167),6)!($P(%qrec,$C(167),7)>1):"",1:$$ESC($G(@%qvar)))
 S $P(%qrec,$C(167),4)=$$ESC($P(%qrec,$C(167),4)),$P(%qrec,$C(167),9)=$$ESC($P(%qrec,$C(167),9))
 Q %qrec
 ; The 72 key texts F5-F12, X1-X32, M1-M32 joined by $C(255), which no text may hold.
GETKEYS(scr) N i,key,out
 D TR("GETKEYS^QCC("_$$A($G(scr))_")")
 S scr=$G(scr),out=""
 F i=1:1:72 S key=$S(i<9:"F"_(i+4),i<41:"X"_(i-8),1:"M"_(i-40)) S:i>1 out=out_$C(255) S:scr'="" out=out_$TR($G(^QM(scr,0,"TASTE",key)),$C(255))
 Q out
 ; Comment texts of a group: "§" ends it.
TEXT(scr,grp,n) D TR("TEXT^QCC("_$$A($G(scr))_","_$$A($G(grp))_","_$$A($G(n))_")")
 Q:$G(scr)=""!($G(grp)="") $C(167)
 Q $$ESC($G(^QM(scr,0,grp,+$G(n)),$C(167)))
 ; No screen has computed labels or pictures.
MODU(scr,n) D TR("MODU^QCC("_$$A($G(scr))_","_$$A($G(n))_")") Q $$MODUF($G(scr),$G(n))
INDI(scr,n) D TR("INDI^QCC("_$$A($G(scr))_","_$$A($G(n))_")") Q $$INDIF($G(scr),$G(n))
 ;
 ; ---- field steps of the current form (%DN)
 ; What a field shows on entry: its value (a data explorer's: its array), or the name of a
 ; text box's array. A %VL left by a key or sub-dialog whose hand-back is done would end the
 ; form at the next field exit.
FO(%qn) N %qrec,%qvar
 D TR("FO^QCC("_$$A($G(%qn))_")"),HOOK("FO")
 K %VL
 S %qrec=$$FIELD($G(%DN),$G(%qn)),%qvar=$P(%qrec,$C(167),5)
 Q:%qvar="" ""
 Q:$P(%qrec,$C(167),7)>1&($P(%qrec,$C(167),6)'=11) %qvar
 Q $$ESC($G(@%qvar))
 ; A value leaving field n: value§refused§message§next field forward§§next field back§
 ; popup list§refresh§sub-dialog§information. The client asks again with %KFOCUS when the
 ; focus leaves, and with %DDN=%DL after the sub-dialog a button opened: same answer, but
 ; no second sub-dialog. A check that sets %PRANS gives the whole answer itself, as other
 ; servers would (the pieces this demo never sends, or no answer at all).
PR(%qn,%qx) N %qrec,%qvar,%qmsg,%qnext,%qprev,%qback
 D TR("PR^QCC("_$$A($G(%qn))_","_$$A($G(%qx))_")")
 S %qn=+$G(%qn),%qx=$$UNESC($G(%qx)),%qrec=$$FIELD($G(%DN),%qn),%qvar=$P(%qrec,$C(167),5)
 S %QTABF=%qn
 S %qmsg=$$PRHOOK() Q:%qmsg'="" %qmsg
 S %qnext=$S(%qn'<$$FIELDS($G(%DN)):0,1:%qn+1),%qprev=$S(%qn>1:%qn-1,1:1)
 S %qback=$G(%DDN)=$C(167) K:%qback %VL
 ; A push button pressed runs the code of its "PRESS" node first.
 I %qrec'="",'$P(%qrec,$C(167),6),%qx="J",'%qback,$G(^QM(%DN,%qn,"PRESS"))'="" X ^("PRESS")
 I %qrec'="",'$P(%qrec,$C(167),6) Q $$ANS("","","",%qnext,%qprev,"",$S(%qx'="J"!%qback:"",1:$G(^QM(%DN,%qn,"DIALOG"))))
 I %qvar'="",$P(%qrec,$C(167),7)>1,$P(%qrec,$C(167),6)'=11 D BOX(%qvar) Q $$ANS(%qvar,"","",%qnext,%qprev,"","")
 S %qmsg=$$CHECK(%DN,%qn,.%qx) S:%qvar'="" @%qvar=%qx
 I $D(%PRANS) S %qmsg=%PRANS K %PRANS Q %qmsg
 Q:%qmsg'="" $$ANS(%qx,1,%qmsg,%qn,%qn,"","")
 Q $$ANS(%qx,"","",%qnext,%qprev,$$LIST(%DN,%qn,%qx),"")
ANS(val,refused,msg,next,prev,list,sub) N d S d=$C(167)
 Q $$ESC(val)_d_refused_d_$$ESC(msg)_d_next_d_d_prev_d_list_d_d_sub_d
CHECK(%qscr,%qk,%qx) N %qchk,%qmsg S %qchk=$G(^QM(%qscr,%qk,"PR")) Q:%qchk="" ""
 X "S %qmsg=$$"_%qchk_"(.%qx)"
 Q %qmsg
 ; Several entries of the field's list beginning with the value (case aside): the list is
 ; offered with them. An entry typed in full is taken as it is.
LIST(%qscr,%qk,%qx) N %qname,%qall
 S %qname=$G(^QM(%qscr,%qk,"LISTE")) Q:%qname="" ""
 S %qall=$$ENTRIES(%qname,%qx)
 Q:$L(%qall,$C(167))<2 ""  Q:($C(167)_%qall_$C(167))[($C(167)_%qx_$C(167)) ""
 D FILL(%qname,$P($$FIELD(%qscr,%qk),$C(167),5),%qall)
 Q %qname
 ; The drop button of a field with a list: all its entries. Answer: §§list.
TABLE(%qn,%qt) N %qname
 D TR("TABLE^QCC("_$$A($G(%qn))_","_$$A($G(%qt))_")")
 S %QTABF=+$G(%qn)
 S %qname=$G(^QM($G(%DN),+$G(%qn),"LISTE")) Q:%qname="" ""
 ; A list with routines of its own fills itself, gives its next batches and takes the row.
 I $G(^QTAB(%qname,"FILL"))'="" D @^QTAB(%qname,"FILL") Q $C(167,167)_%qname
 D FILL(%qname,$P($$FIELD(%DN,%qn),$C(167),5),$$ENTRIES(%qname,""))
 Q $C(167,167)_%qname
ENTRIES(list,prefix) N i,e,out S out="",prefix=$$UP(prefix)
 F i=1:1 S e=$G(^QTAB(list,i)) Q:e=""  S:$E($$UP(e),1,$L(prefix))=prefix out=out_$S(out="":"",1:$C(167))_e
 Q out
UP(x) Q $TR(x,"abcdefghijklmnopqrstuvwxyz"_$C(228,246,252),"ABCDEFGHIJKLMNOPQRSTUVWXYZ"_$C(196,214,220))
 ; The popup list's rows go to @%WGBL@(row,1), row 0 its title; %EXCR takes the row chosen
 ; (%ZZP) into the field's variable.
FILL(%qname,%qvar,%qall) N %qi
 S %WGBL="^QTEMP("_$J_",""LISTE"")" K @%WGBL
 S @%WGBL@(0,1)=$G(^QTAB(%qname))
 F %qi=1:1:$L(%qall,$C(167)) S @%WGBL@(%qi,1)=$P(%qall,$C(167),%qi)
 S %EXCR="S "_%qvar_"=$P("""_$$DQ(%qall)_""",$C(167),%ZZP)"
 Q
 ; The next rows of a popup list: FILL gave them all, so the rows read go.
WTW(list) N %qh
 D TR("WTW^QCC("_$$A($G(list))_")")
 Q:$G(%WGBL)=""
 I $G(list)'="",$G(^QTAB(list,"NEXT"))'="" D @^QTAB(list,"NEXT") Q
 M %qh=@%WGBL@(0) K @%WGBL M @%WGBL@(0)=%qh
 Q
 ; The client stores a text box line by line with one blank added to each line from the
 ; third on: it is dropped once. The array's top node marks it done; the client kills the
 ; array with every store.
BOX(%qvar) N %qk,%ql Q:$D(@%qvar)#2
 S %qk=2 F  S %qk=$O(@%qvar@(%qk)) Q:%qk=""  S %ql=@%qvar@(%qk) S:$E(%ql,$L(%ql))=" " @%qvar@(%qk)=$E(%ql,1,$L(%ql)-1)
 S @%qvar=""
 Q
 ; Texts to the client and values from it.
ESC(x) Q $TR(x,$C(9,60,62,34),$C(250,253,254,255))
UNESC(x) Q $TR(x,$C(255,254,253,250),$C(34,60,62,9))
 ;
 ; ---- saving: the check of every field and the screen's own, then the routine that
 ; ^QM(screen,0,%SC) names (a number there, as the FSAVE flag, runs nothing).
PRUEF() N %qscr,%qk,%qx,%qmsg,%qvar,%qcode
 D TR("PRUEF^QCC")
 S %qscr=$G(%DN),%qmsg="" Q:%qscr="" 0
 F %qk=1:1:$$FIELDS(%qscr) S %qvar=$P($$FIELD(%qscr,%qk),$C(167),5) I %qvar'="" S %qx=$G(@%qvar),%qmsg=$$CHECK(%qscr,%qk,.%qx) Q:%qmsg'=""
 K %PRANS ; a check's own answer is one of a field step
 I %qmsg'="" S %F=%qmsg Q %qk
 S %qcode=$G(^QM(%qscr,0,"PRUEF")),%qk=0
 X:%qcode'="" "S %qk=$$"_%qcode_"()"
 Q +%qk
PRGABL(%qrtn) D TR("PRGABL^QCC("_$$A($G(%qrtn))_")")
 S %qrtn=$G(%qrtn) D:%qrtn?.1(1(1"%",1A).AN)1"^"1(1"%",1A).AN @%qrtn
 Q
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
SAVE(%qset) N %qvar,%qstand Q:%qset=""
 K ^%QVARS($J,%qset)
 S %qstand=","_$$STAND()_","
 S %qvar="%" F  D:$D(@%qvar)  S %qvar=$O(@%qvar) Q:%qvar=""
 . Q:$E(%qvar,1,2)="%q"  Q:%qvar'="%DN"&(%qvar'="%NEW")&(%qstand[(","_%qvar_","))
 . M ^%QVARS($J,%qset,%qvar)=@%qvar
 Q
LOAD(%qset) X $$KEEP("%qset") D LAY(%qset,1) S:'$D(%DN) %DN="" Q
 ; Each variable of the set replaces the local of its name; the current form keeps its
 ; name unless the whole set is loaded.
LAY(%qset,%qall) N %qvar Q:%qset=""
 S %qvar="" F  S %qvar=$O(^%QVARS($J,%qset,%qvar)) Q:%qvar=""  I %qvar'="%DN"!$G(%qall) K @%qvar M @%qvar=^%QVARS($J,%qset,%qvar)
 Q
DROP(set) K:set'="" ^%QVARS($J,set) Q
 ;
 ; ---- fields, labels and comments (FLD, LAY, VIEL; the time label of TIM)
 ; ^QM(screen,0,"MODU",n) and ^QM(screen,0,"INDI",n) are the label and picture records
 ; (column§row§width§M line that writes the text§"F" for the alternative font; a picture's
 ; M line names the variable holding its path, "/" its width and height in cells).
 ; ^QM(screen,0,"FO") runs when a field is entered, ^QM(screen,0,"PR") = label^routine of
 ; $$label(field,value) answering $$PR^QCC itself ("" leaves it to the rules above).
MODUF(scr,n) Q:scr=""!(+n<1) ""
 Q:scr="TIM"&(+n=1) "40"_$C(167)_"4"_$C(167)_"0"_$C(167)_"W $$ZEIT^QFLD()"
 Q $G(^QM(scr,0,"MODU",+n))
INDIF(scr,n) Q:scr=""!(+n<1) ""  Q $G(^QM(scr,0,"INDI",+n))
HOOK(node) N %qh Q:$G(%DN)=""  S %qh=$G(^QM(%DN,0,node)) X:%qh'="" %qh Q
PRHOOK() N %qh,%qa Q:$G(%DN)="" ""  S %qh=$G(^QM(%DN,0,"PR")) Q:%qh="" ""
 X "S %qa=$$"_%qh_"(%qn,%qx)" Q %qa
 ; A row chosen in a table field's list, and the next list a list field's routine names.
 ; The row the client names in %TABZ makes its text the value of the field whose list it was
 ; (%QTABF: the field of the last PR^QCC or TABLE^QCC), as $$FO^QCC then answers it.
TABX(t,x) N %qvar D TR("TABX^QCC("_$$A($G(t))_","_$$A($G(x))_")")
 I $G(%TABZ)>0,$G(%QTABF),$G(%DN)'="" S %qvar=$P($$FIELD(%DN,%QTABF),$C(167),5) S:%qvar'="" @%qvar=$G(x)
 K %QTABF
 I $G(t)'="",$G(^QTAB(t,"TABX"))'="" D @^QTAB(t,"TABX") ; it sees x
 Q
TAB() N t D TR("TAB^QCC()") S t=$G(%TAB) K %TAB Q t
 ;
 ; ---- print road: the screen's list print as text (at most max characters)
 ; The job's report: the letter screen prepares its lines first; answers their count
 ; (the lines per page max are the print list's, the list window asks with 65535).
DRUCKS(max) D TR("DRUCKS^QCC("_$$A($G(max))_")")
 I $G(%DN)="DRK" D LISTE^QDRK
 Q:$D(^ZDR($G(%JOB),"LISTE")) +$O(^ZDR(%JOB,"LISTE",""),-1)  Q +$O(^QSYS("DRUCK",""),-1)
 ; Characters per line of the print list (^QSYS("DRUCKI") for a test of its own).
DRUCKI() D TR("DRUCKI^QCC()") Q $G(^QSYS("DRUCKI"),80)
 ; ^QSYS("FEHLER","DRUCK")=n makes line n an M error, ^QSYS("FEHLER","PRINTER")=code the row after code.
 ; line n of the job's print output, "�" after the last: the job's own output in
 ; ^ZDR(job,"LISTE",n) when there is one, else the demo's lines in ^QSYS("DRUCK",n)
DRUCK(job,n) D TR("DRUCK^QCC("_$$A($G(job))_","_$$A($G(n))_")") Q $$DRLINE($G(job),+$G(n))
DRLINE(job,n) Q:n<1 $C(167)  Q:n=$G(^QSYS("FEHLER","DRUCK")) 1/0  Q:$D(^ZDR(job,"LISTE")) $G(^ZDR(job,"LISTE",n),$C(167))
 Q $G(^QSYS("DRUCK",n),$C(167))
 ; ---- grids (scroll fields). ^QM(scr,0,"GRID") = the scroll record, ^QM(scr,0,"GRID",n)
 ; = title§width of column n, ^QM(scr,0,"GRID","SET") the switches a set-up reads,
 ; ^QM(scr,0,"GRID","TEST") more of them for one test, ^QM(scr,0,"GRID","ROW") the routine
 ; that fills an array with a row's cell records: label^routine(row,first,last,.cells).
 ; Rows and cells never carry a quote or $C(255): the client reads $C(255) as a cell's end.
SCR(scr) D TR("SCR^QCC("_$$A($G(scr))_")") S scr=$G(scr) Q:scr="" ""
 X $G(^QM(scr,0,"GRID","SET")) X $G(^QM(scr,0,"GRID","TEST"))
 Q $G(^QM(scr,0,"GRID"))
SCROLL(scr,n) D TR("SCROLL^QCC("_$$A($G(scr))_","_$$A($G(n))_")") Q:$G(scr)="" ""
 Q $G(^QM(scr,0,"GRID",+$G(n)))
GETROW(scr,row,c1,c2) N %qc,%qcell,%qout
 D TR("GETROW^QCC("_$$A($G(scr))_","_$$A($G(row))_","_$$A($G(c1))_","_$$A($G(c2))_")")
 D CELLS($G(scr),$G(row),+$G(c1),+$G(c2),.%qcell)
 S %qout="" F %qc=+$G(c1):1:+$G(c2) S %qout=%qout_$TR($G(%qcell(%qc)),$C(34,255))_$C(255)
 Q %qout
GETCELL(scr,row,col) N %qcell
 D TR("GETCELL^QCC("_$$A($G(scr))_","_$$A($G(row))_","_$$A($G(col))_")")
 D CELLS($G(scr),$G(row),+$G(col),+$G(col),.%qcell)
 Q $TR($G(%qcell(+$G(col))),$C(34,255))
CELLS(scr,row,c1,c2,cells) N %qr Q:scr=""!(row="")
 S %qr=$G(^QM(scr,0,"GRID","ROW")) Q:%qr=""
 D @(%qr_"(row,c1,c2,.cells)")
 Q
 ; A cell's text on entry, its save (value§status text§refused§refresh§list§sub-dialog§
 ; information), its table, and rows inserted and deleted: the screen's ^QM(%DN,0,"GRID",
 ; "FOS"|"PRS"|"TABLES"|"ZEINF"|"ZLOE") routine answers, called with the same arguments.
FOS(r,c,x) D TR("FOS^QCC("_$$A($G(r))_","_$$A($G(c))_","_$$A($G(x))_")"_$S($D(%DDN("FOCUS")):" FOCUS",1:""))
 Q $$GRIDCALL("FOS",$G(r),$G(c),$TR($G(x),$C(255),$C(34)))
PRS(r,c,x) D TR("PRS^QCC("_$$A($G(r))_","_$$A($G(c))_","_$$A($G(x))_")"_$S($D(%CR):" CR",1:"")_" "_$G(%PP("CHARPOS"))_$S($D(%KFOCUS):" KFOCUS",1:""))
 Q $$GRIDCALL("PRS",$G(r),$G(c),$TR($G(x),$C(255),$C(34)))
TABLES(c,x) D TR("TABLES^QCC("_$$A($G(c))_","_$$A($G(x))_")") K %QTABF
 Q $$GRIDCALL("TABLES",$G(c),"",$TR($G(x),$C(255),$C(34)))
ZEINF(r) D TR("ZEINF^QCC("_$$A($G(r))_")") Q $$GRIDCALL("ZEINF",$G(r),"","")
ZLOE(r) D TR("ZLOE^QCC("_$$A($G(r))_")") Q $$GRIDCALL("ZLOE",$G(r),"","")
GRIDCALL(what,a,b,x) N %qr,%qa S %qa="" Q:$G(%DN)="" ""
 S %qr=$G(^QM(%DN,0,"GRID",what)) Q:%qr="" ""
 X "S %qa=$$"_%qr_"(a,b,x)"
 Q %qa
 ; The check of a grid's cells before saving: row§column§why of a failing cell, or "".
PRUEFS() D TR("PRUEFS^QCC()") Q $$GRIDCALL("PRUEFS","","","")
 ;
 ; ---- languages: number n names a language and sets %LAN to its letter ("" after the last)
NUMTOLAN(n) D TR("NUMTOLAN^QCC("_$$A($G(n))_")")
 S n=+$G(n) Q:n=1 $$LAN("D","Deutsch")  Q:n=2 $$LAN("E","English")
 Q ""
LAN(letter,name) S %LAN=letter Q name
GETLANNU() D TR("GETLANNU^QCC()") Q $S($G(%LAN)="E":2,$G(%LAN)="D":1,1:0)
 ; The application's periodic line (^Z("TIMER") = seconds�D TICK^QCC): counts its calls.
TICK D TR("TICK^QCC") S ^ZTICK=$G(^ZTICK)+1 Q
 ;
 ; ---- printer choice: the device chain ^Z("DRL",n) = code, each device ^Z("DR",code) =
 ; printer�location�paper and ^Z("DR",code,6) = its trays. Answers the row after code
 ; (the first for ""), "" after the last or for a code not in the chain.
PRINTER(code) N n,next D TR("PRINTER^QCC("_$$A($G(code))_")")
 S code=$G(code),n=0 Q:code=$G(^QSYS("FEHLER","PRINTER"),$C(0)) 1/0
 I code'="" S n="" F  S n=$O(^Z("DRL",n)) Q:n=""  Q:$G(^Z("DRL",n))=code
 Q:n="" ""  S n=$O(^Z("DRL",n)) Q:n="" ""
 S next=$G(^Z("DRL",n)) Q next_$C(167)_$G(^Z("DR",next))
 ; The user's current device: ^Z("DEV",user), else the letter opened through Word.
GETDEV() D TR("GETDEV^QCC()") Q $G(^Z("DEV",$G(%USER,"?")),"WB")
