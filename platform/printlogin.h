#pragma once
// The name and password a print scheduler may require (a queue whose jobs
// need an account): libcups asks for them through a callback of its
// calling thread, and without one reads them from the terminal the
// program was started from. Every thread that reaches the scheduler sets
// this one: the user is asked in the program's box over the window (from
// the printer thread, through the user-interface thread, which waits for
// that thread's task), and a box cancelled or left empty makes libcups
// give up, so the request fails and nothing is sent.
//
// A name and password taken are given again, without asking, to the same
// scheduler's next question of the run, as libcups' kept connection did,
// and go with the program's own requests from the first; one refused is
// asked for again with a word that it was refused, at most `MostAsks`
// times a question. キャンセル (or the asks run out) ends the asking for
// the print: nothing more is asked until the next print begins.

typedef struct _http_s http_t;

namespace platform::printlogin {

constexpr int MostAsks = 3;

// Sets the callback on the calling thread (the user-interface thread or
// the printer thread's task) and begins a question of its own there: the
// asks are counted from here.
void answerOnThisThread();

// A print (or the printer set-up) begins: the user may be asked again.
void beginPrint();
// The user gave no name and password for this print: the reason it failed.
bool givenUp();

// Puts the name and password kept for the scheduler `http` is connected
// to on its next request; false when none is kept.
bool giveKept(http_t* http);

// For tests: forgets the name and password kept (on the user-interface thread).
void forget();

}  // namespace platform::printlogin
