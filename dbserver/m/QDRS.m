QDRS ; demo application: a screen's print in a background job (%BJ set)
 D TR^QCC("QDRS") Q
