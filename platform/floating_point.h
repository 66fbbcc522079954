// The floating-point environment the show runs in.
#pragma once

// Masks every floating-point exception, so a division by zero gives an
// infinity and an invalid operation a NaN instead of a trap. x86-64 starts
// so; saying it keeps it true whatever a library did before.
void MaskFloatingPointTraps();
