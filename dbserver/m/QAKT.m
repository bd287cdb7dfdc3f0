QAKT ; demo application: the patient record's scanned pages
 Q
 ; $$SCAN^QAKT(code): the page with that barcode belongs to Befunde\Bilder of the record
 ; of a demo patient, for a code "<patient>-<anything>", named after the code with the
 ; characters a file name cannot hold as "_"; "" for an empty or unknown code.
SCAN(code) N n,name D TR^QCC("SCAN^QAKT("_$$A^QCC(code)_")")
 Q:code'?1.N1"-".E ""
 S n=$P(code,"-",1) Q:(n'=4711)&(n'=4712) ""
 S name=$TR(code,"\/:*?""<>|","_________")
 Q "C:\VORLAN\Akten\"_n_"\Befunde\Bilder\"_name_".jpg"
