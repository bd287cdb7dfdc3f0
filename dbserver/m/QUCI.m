QUCI ; demo application: the namespace of the job
 Q
UCI1() D TR^QCC("UCI1^QUCI()") Q $$NS()
NS() Q $ZPARSE($ZGBLDIR,"NAME")
 ; To the namespace %UCI (its global directory beside the current one); an unknown one
 ; leaves the job where it is. $ZSEARCH goes on where the last search of the same name
 ; stopped, so every second one would find nothing: a search of another name on a stream
 ; of its own starts afresh.
SW N %qgld,%qnew D TR^QCC("SW^QUCI")
 S %qgld=$ZPARSE($G(%UCI)_".gld","",$ZGBLDIR),%qnew=$ZSEARCH("",255)
 S:$G(%UCI)'=""&($ZSEARCH(%qgld,255)'="") $ZGBLDIR=%qgld
 Q
