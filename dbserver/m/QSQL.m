QSQL ; demo application: the screen SQL, the rows of the workstation's ODBC data source
 Q
 ; Opening the screen and F5 post the request: three statements against VORLANDEMO, the
 ; third in lower case (run, no rows read).
ASK D TR^QCC("ASK^QSQL") K ^QTEMP(%JOB,"%SQL")
 S ^QTEMP(%JOB,"%SQL","ODBC")="VORLANDEMO",^QTEMP(%JOB,"%SQL","ROUT")="DONE^QSQL"
 S ^QTEMP(%JOB,"%SQL","SQL",1)="SELECT nr, name, ort FROM kunden ORDER BY nr"
 S ^QTEMP(%JOB,"%SQL","SQL",2)="UPDATE kunden SET gelesen = gelesen + 1"
 S ^QTEMP(%JOB,"%SQL","SQL",3)="select count(*) from kunden"
 Q
 ; Run by the client after the statements, with the driver's message in %F. ^TEMPSQL stays
 ; as the client wrote it; the answer in %F is shown by the client.
DONE N n,row,names D TR^QCC("DONE^QSQL "_$$A^QCC($G(%F))_" "_$$A^QCC($G(%ODBC)))
 I $G(%F)'="" S SQLERG=%F Q
 S n=0,row="",names=""
 F  S row=$O(^TEMPSQL(%JOB,1,row)) Q:row=""  S n=n+1 I n<4 S names=names_$S(names="":"",1:", ")_$G(^TEMPSQL(%JOB,1,row,2))
 S %F=n_" Kunden gelesen"_$S(names="":".",1:": "_names_$S(n>3:", ...",1:".")),SQLERG=%F
 Q
