// IB_Morvex2RT and IB_ADO_Morvex2RT are made of the runtime modules linked in
// whole; this file only gives each shared library a source of its own.
