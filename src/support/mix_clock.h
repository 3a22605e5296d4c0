// Stirs the clock and a call counter into RandomPool: two calls never feed
// the same record, even when the clock has not moved.
#pragma once

void MixClock();
