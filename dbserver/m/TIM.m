TIM ; demo application: the timer screen TIM and its neighbours TIMB, TIMC and TIMD
 Q
 ; The screen's timer: nothing to refresh nine times, the whole form every tenth call. The
 ; calls are counted per job.
TIMER() N n S n=$I(^QTEMP($G(%JOB,$J),"TIM"))
 D TR^QCC("TIMER^TIM()")
 Q $S(n#10=0:$C(167),1:"")
 ; F5 "Jetzt": the form refreshes itself at once, by the road its timer takes.
JETZT D TR^QCC("JETZT^TIM"),EV("TIM","TIMER",1),EV("TIM","ROWCOL",$C(167)) Q
 ; The push buttons: events for the neighbours. STICK: 2 right of TIM, 4 below, 68 below
 ; in a cascade.
NEBEN D TR^QCC("NEBEN^TIM"),EV("TIMB","STICK",2) Q
UNTEN(stick) D TR^QCC("UNTEN^TIM("_$G(stick)_")"),EV("TIMC","STICK",+$G(stick)),EV("TIMD","STICK",+$G(stick)) Q
AUF D TR^QCC("AUF^TIM"),EV("TIMB","TIMER",1),EV("TIMB","ROWCOL",$C(167)) Q
ZU D TR^QCC("ZU^TIM"),EV("TIMB","CLOSE","F3") Q
EV(name,node,value) S:'$D(%WIN("EV",name)) %WIN("EV",name)="" S %WIN("EV",name,node)=value Q
 ; The init of a neighbour, run on opening and on every refresh.
OPEN(scr) D TR^QCC("OPEN^TIM("_$$A^QCC($G(scr))_")") Q
