#pragma once
// Numbers of the resources compiled into the program.

// WAVE: the effect sounds.
#define IDR_WAVE_HOVER 149       // the pointer enters a sound button
#define IDR_WAVE_CONFIRM 150     // OK in a two-button notice; an instant message arrived
#define IDR_WAVE_WINDOW_OPEN 151 // a messenger window opens
#define IDR_WAVE_NOTICE 152      // a one-button notice opens; an instant message was not delivered
#define IDR_WAVE_PRESS 153       // a sound button is pressed; a tab is chosen
