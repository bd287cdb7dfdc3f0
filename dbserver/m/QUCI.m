QUCI ; demo application: the namespace of the job
 Q
UCI1() D TR^QCC("UCI1^QUCI()") Q $$NS()
NS() Q $ZPARSE($ZGBLDIR,"NAME")
 ; To the namespace %UCI (its global directory beside the current one); an unknown one
 ; leaves the job where it is.
SW N %qgld D TR^QCC("SW^QUCI")
 S %qgld=$ZPARSE($G(%UCI)_".gld","",$ZGBLDIR)
 S:$G(%UCI)'=""&($ZSEARCH(%qgld)'="") $ZGBLDIR=%qgld
 Q
