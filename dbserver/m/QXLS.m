QXLS ; demo application: the screen XLS, server data for Excel
 Q
 ; F5: a cell list for a new workbook, served by the client's request hub ("%EXCEL"): texts,
 ; a number flagged as one, and "0815" without the flag, which stays text.
CELLS D TR^QCC("CELLS^QXLS")
 K ^QTEMP($J,"EXCEL")
 S ^QTEMP($J,"EXCEL","A1")="Kunde",^QTEMP($J,"EXCEL","B1")="Betrag",^QTEMP($J,"EXCEL","C1")="Kennung"
 S ^QTEMP($J,"EXCEL","A2")=$G(XLSKUNDE),^QTEMP($J,"EXCEL","B2")=+$G(XLSBETRAG),^QTEMP($J,"EXCEL","B2","F")=1
 S ^QTEMP($J,"EXCEL","C2")="0815"
 S %MEMO="XLS",^QTEMP($J,"%EXCEL")=1
 Q
 ; Saving: a template job that the form's Excel check fills after the save (the screen has
 ; no print routine). Two sheets of Rechnung.xls in the template folder; the values of the
 ; "#" and "<" markers; the filled workbook goes to a temporary name and stays open.
SAVE D TR^QCC("SAVE^QXLS")
 K ^QTEMP($J,"EXCEL"),^FQS($J),^FQM($J)
 S FSA="R",^QTEMP($J,"EXCEL",1)=1,^QTEMP($J,"EXCEL",1,"NAME")="Rechnung.xls",^QTEMP($J,"EXCEL",1,"SAVE")=""
 S ^QTEMP($J,"EXCEL",1,"MAPPE")="",^QTEMP($J,"EXCEL",1,"MAPPE",1)="Rechnung",^QTEMP($J,"EXCEL",1,"MAPPE",2)="Kopie"
 S ^FQS($J,1,FSA,"U1")=$G(XLSKUNDE),^FQS($J,1,FSA,"U2")=+$G(XLSBETRAG),^FQM($J,1,FSA,"V1")="$0815"
 Q
