// IB_Morvex2RT is made of the runtime modules linked in whole; this file
// only gives the shared library a source of its own.
