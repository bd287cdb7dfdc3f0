QFLD ; demo application: the screens FLD (fields), LAY (layout) and VIEL (many fields)
 Q
 ; ---- FLD. ^FLD(field) keeps the last value each field left. Field 5 locks and unlocks
 ; fields 1 and 2 (their labels follow them), field 6 has the next entry of field 1 rebuild
 ; the form.
PR(n,x) S ^FLD(+n)=x
 I +n=5 D SPERREN N a S a=$$ANS^QCC("","","",6,4,"","") S $P(a,$C(167),8)=1 Q a
 I +n=6 S FLDNEU=1 D TR^QCC("NEU^QFLD") Q $$ANS^QCC("","","",1,5,"","")
 Q ""
SPERREN D TR^QCC("SPERREN^QFLD")
 I $D(%FS(1)) K %FS(1),%FS(2)
 E  S (%FS(1),%FS(2))=""
 S %MAK1="1,2"
 Q
FO(n) Q:+n'=1  Q:'$G(FLDNEU)
 K FLDNEU S %QZ("FOCUS")="" D TR^QCC("AUFBAU^QFLD")
 Q
 ; The label texts of fields 1-3.
LBL(n) D TR^QCC("LBL^QFLD("_n_")")
 Q:n=1 $S($D(%FS(1)):"gesperrt",1:$L($G(FLDNAME))_" Zeichen")
 Q:n=2 "aus Liste"
 Q $S($G(FLDAKT)="J":"aktiv",1:"inaktiv")
 ; F1 of the screen, the routine of its list field 2, and its search and replace routines
 ; (TEXT holds the word; "fehler" is refused with %F).
F1 D TR^QCC("F1^QFLD") Q
SCR D TR^QCC("SCR^QFLD") Q
SUCH D TR^QCC("SUCH^QFLD("_$G(TEXT)_")") S:$G(TEXT)="fehler" %F="Nicht gefunden." Q
ERS D TR^QCC("ERS^QFLD("_$G(TEXT)_")") Q
 ;
 ; ---- LAY: an indirection text and a picture the demo writes itself (a small BMP in the
 ; temporary folder, seen by the client through its drive Z:).
INDI() D TR^QCC("INDI^QFLD()") Q "Stand "_$ZD($H,"DD.MM.YEAR")
BILD() N f,i,w,h,row S f="/tmp/vorlan-lay-"_$J_".bmp",w=8,h=6
 O f:(NEWVERSION:STREAM:NOWRAP) U f
 W "BM",$$LE(54+(w*3*h),4),$$LE(0,4),$$LE(54,4),$$LE(40,4),$$LE(w,4),$$LE(h,4),$$LE(1,2),$$LE(24,2)
 W $$LE(0,4),$$LE(w*3*h,4),$$LE(2835,4),$$LE(2835,4),$$LE(0,4),$$LE(0,4)
 F row=1:1:h F i=1:1:w W $S(row>3:$C(200,120,40),1:$C(40,160,240))
 C f
 Q "Z:"_$TR(f,"/","\")
LE(v,n) N s,i S s="" F i=1:1:n S s=s_$C(v#256),v=v\256
 Q s
 ;
 ; ---- the time label of TIM
ZEIT() D TR^QCC("ZEIT^QFLD()") Q "Serverzeit "_$ZD($H,"24:60:SS")
