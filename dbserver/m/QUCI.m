QUCI ; demo application: the namespace of the job
 Q
UCI1() D TR^QCC("UCI1^QUCI()") Q $ZPARSE($ZGBLDIR,"NAME")
