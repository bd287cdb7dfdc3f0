WQDA ; demo application: the output device that the printer choice named in %DEV
 Q
 ; The Word devices' job: the letter's template folder, its output folder and name, and
 ; the printer or fax of the device. Other devices need nothing.
SET N dev,db D TR^QCC("SET^WQDA("_$$A^QCC($G(%DEV))_")")
 S dev=$G(%DEV) I $E(dev)'="W" K %FORM Q
 S db=$$DBDIR,%FORM="BRIEF"
 S ^ZDR(%JOB,"LOAD","DIR")=db_"formulare\",^ZDR(%JOB,"SAVE","DIR")=db_"ausgabe\"
 S ^ZDR(%JOB,"SAVE","NAME")="Brief"
 I dev="WD" S ^ZDR(%JOB,"SAVE","PRINTER")="VORLAN-DRUCKER"
 ; A fax has no job name: the part names the document (see DRUCK^QDRK).
 I dev="WF" S ^ZDR(%JOB,"SAVE","FAXDIR")=db_"ausgabe\fax\",^ZDR(%JOB,"SAVE","FAXPRINTER")="VORLAN-FAX" K ^ZDR(%JOB,"SAVE","NAME")
 Q
 ; The database folder as the client on this machine names it: Wine's drive Z: and the
 ; Unix path with backslashes, ending in one.
DBDIR() N gld S gld=$ZTRNLNM("gtmgbldir")
 Q "Z:"_$TR($P(gld,"/",1,$L(gld,"/")-1),"/","\")_"\"
