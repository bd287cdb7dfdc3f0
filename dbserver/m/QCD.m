QCD ; demo application: what a form's grid asks of the server (drag, drop, click, enter, size, info)
 Q
 ; The current form (%DN) names its answers in ^QM(%DN,0,"GRID","QCD",label) = label^routine,
 ; called with the same arguments; a label a screen does not name answers "" (nothing to do).
DRAG(c,r) D TR^QCC("DRAG^QCD("_$$A^QCC($G(c))_","_$$A^QCC($G(r))_")") Q $$CALL("DRAG",$G(c),$G(r))
DROPN(c,r) D TR^QCC("DROPN^QCD("_$$A^QCC($G(c))_","_$$A^QCC($G(r))_")") Q $$CALL("DROPN",$G(c),$G(r))
DROPA() D TR^QCC("DROPA^QCD()") Q $$CALL("DROPA","","")
CLICK(c,r) D TR^QCC("CLICK^QCD("_$$A^QCC($G(c))_","_$$A^QCC($G(r))_")") Q $$CALL("CLICK",$G(c),$G(r))
RCLICK(c,r) D TR^QCC("RCLICK^QCD("_$$A^QCC($G(c))_","_$$A^QCC($G(r))_")") Q $$CALL("RCLICK",$G(c),$G(r))
ENTER(c,r) D TR^QCC("ENTER^QCD("_$$A^QCC($G(c))_","_$$A^QCC($G(r))_")") Q $$CALL("ENTER",$G(c),$G(r))
SIZE(c,r) D TR^QCC("SIZE^QCD("_$$A^QCC($G(c))_","_$$A^QCC($G(r))_")") Q $$CALL("SIZE",$G(c),$G(r))
INF(c,r) D TR^QCC("INF^QCD("_$$A^QCC($G(c))_","_$$A^QCC($G(r))_")") Q $$CALL("INF",$G(c),$G(r))
CALL(what,c,r) N %qr,%qa S %qa="" Q:$G(%DN)="" ""
 S %qr=$G(^QM(%DN,0,"GRID","QCD",what)) Q:%qr="" ""
 X "S %qa=$$"_%qr_"(c,r)"
 Q %qa
 ;
 ; A cell record: text§column pieces 2-5§row normal§data§text colour§background§skip§
 ; image + 1§shape§row colour§height§corner§multi-line§extra§drag handle, every piece at its
 ; default but the text; callers set the pieces they need.
REC(t) Q t_$C(167)_"2"_$C(167)_"0"_$C(167,167)_"0"_$C(167,167)_"0"_$C(167)_"0"_$C(167)_"0"_$C(167)_"0"_$C(167)_"0"_$C(167)_"0"_$C(167)_"0"_$C(167,167)_"0"_$C(167)_"0"_$C(167)_"0"_$C(167)_"0"
