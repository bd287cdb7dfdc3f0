WQDA ; demo application: the output device that the printer choice named in %DEV
 Q
SET D TR^QCC("SET^WQDA("_$$A^QCC($G(%DEV))_")") Q
