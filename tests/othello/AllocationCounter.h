// Counts the allocations made through operator new by the test program that links it.
#pragma once

long allocationCount();
