QAWL ; demo application: the list field screens AWL and AWD
 Q
 ; The form's init: the field's variable names the array, a name that carries subscripts.
INIT(scr) D TR^QCC("INIT^QAWL("_$$A^QCC($G(scr))_")")
 S:scr="AWL" AWLFELD="^ZDEMO(""AWL"")"
 S:scr="AWD" AWDFELD="^ZDEMO(""AWD"")"
 Q
 ; The array's "SELECT" code: what the field reported in %FELD.
SEL(feld) D TR^QCC("SEL^QAWL("_$$A^QCC($G(feld))_")") Q
F8 D TR^QCC("F8^QAWL") Q
