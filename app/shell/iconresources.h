#pragma once

// Registers the pictures under ":/icon/". They are compiled into the static
// core library, whose resource initialiser the linker would otherwise drop;
// every window that shows them calls this first. Safe to call repeatedly.
void initIconResources();
