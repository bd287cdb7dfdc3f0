QPFT ; a print job for the form printer's tests: the letter's data as a print routine leaves it
 Q
 ; One letter; QPFTN names its document when set (a fax number after the last "_").
EIN D TR^QCC("EIN^QPFT") D TEIL(1,$G(QPFTN),"Erika Mueller") Q
 ; Two letters, each its own part, named for a fax number each.
ZWEI D TR^QCC("ZWEI^QPFT") D TEIL(1,"Brief_0301234567","Erika Mueller"),TEIL(2,"Brief_0409876543","Hans Meier") Q
TEIL(p,name,to) N i
 S ^ZDR(%JOB,%FORM,p)="1_Brief" S:name'="" ^ZDR(%JOB,%FORM,p,"NAME")=name
 S ^ZDR(%JOB,%FORM,p,"Z",1,"A1","@EMPFAENGER")=to
 S ^ZDR(%JOB,%FORM,p,"Z",1,"A1","@BETREFF")="Rechnung "_p
 F i=1:1:3 S ^ZDR(%JOB,%FORM,p,"Z",1+i,"B1","@TEXT")="Position "_i
 Q
 ; The letter of a module whose form is delivered as PDF.
PDF D TR^QCC("PDF^QPFT") S %MI="PFT" D TEIL(1,"","Erika Mueller") Q
