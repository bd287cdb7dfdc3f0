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
 ; The fax number travels in the part's name, behind its last "_".
 I dev="WF" S ^ZDR(%JOB,"SAVE","FAXDIR")=db_"ausgabe\fax\",^ZDR(%JOB,"SAVE","FAXPRINTER")="VORLAN-FAX",^ZDR(%JOB,"SAVE","NAME")="Brief_0301234567"
 Q
 ; The database folder as the client on this machine names it: Wine's drive Z: and the
 ; Unix path with backslashes, ending in one.
DBDIR() N gld S gld=$ZTRNLNM("gtmgbldir")
 Q "Z:"_$TR($P(gld,"/",1,$L(gld,"/")-1),"/","\")_"\"
