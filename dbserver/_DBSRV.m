%DBSRV ; dbserver: the M side of a connection's job; each label is one call-in of GtmJob.cpp
 Q
 ; A request's data and its code travel in $ZSOURCE, which only ZLINK and ZEDIT change:
 ; no KILL, NEW or naked reference of the executed code can disturb it. Bytes 1-8 hold the
 ; position of the code; the data before it is read back as $E($ZSO,from,to).
PUT(blob) S $ZSO=blob Q
XEC S:$IO=$P $X=0 X $E($ZSO,$E($ZSO,1,8),$L($ZSO)) Q
EVAL() X $E($ZSO,$E($ZSO,1,8),$L($ZSO)) Q $ZSO
 ;
 ; The start of a job: its namespace, the system global directory for ^[%SYS]...
 ; references, and a principal device that never breaks long output into lines.
START(gld,sys) S $ZGBLDIR=gld,%SYS=sys U $P:NOWRAP Q
 ; After an M error: the executed frames are gone; leave no error, device or transaction.
RESET U $P S $EC="" TRO:$TL  Q
 ;
 ; Lists go back to C++ as "length value" items, so any bytes may be inside.
LV(x) Q $L(x)_" "_x
 ; A $QUERY result as its name and subscripts.
QUERY(ref) N i,out
 Q:ref="" ""
 S out=$$LV($E($QS(ref,0),2,$L($QS(ref,0))))
 F i=1:1:$QL(ref) S out=out_$$LV($QS(ref,i))
 Q out
 ; By-reference parameters of a routine call live in %dbsrv1, %dbsrv2, ... (NEWed by the
 ; caller's line); REFS gives them their values, PACK collects the result and them.
REFS(list) N i,p,n
 S p=1 F i=1:1 Q:p>$L(list)  S n=+$E(list,p,p+7),@("%dbsrv"_i)=$E(list,p+$L(n)+1,p+$L(n)+n),p=p+$L(n)+1+n
 Q
PACK(result,count) N i,out
 S out=$$LV(result)
 F i=1:1:count S out=out_$$LV($G(@("%dbsrv"_i)))
 Q out
 ;
 ; Initial globals of a new database: one reference=value line each, in ZWRITE form;
 ; lines starting with ";" and empty lines are skipped.
LOAD(file) N line,io
 S io=$IO O file:(READONLY:REWIND) U file
 F  R line Q:$ZEOF  I line'="",$E(line)'=";" S @line
 C file U io
 Q
