// Works out, by recursion on the bank itself, the single moves that open or
// close the whole lock, recording them in the journal; the bank is put back
// as it was afterwards.
#pragma once

void closeBolt(int n);
void openBolt(int n);
void prepareBolt(int n);

void planOpenAll();
void planCloseAll();
