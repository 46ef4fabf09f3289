/* A library the loader tests load from a temporary folder. */
int zt_ProbeAnswer(void) { return 42; }

int zt_ProbeCalls = 0;

int zt_ProbeCount(void) { return ++zt_ProbeCalls; }
