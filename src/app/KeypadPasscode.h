#pragma once

class Prompt;
class RSComm;

// "Set-up Passcode": shows the board's keypad set-up passcode in an input box
// and writes the answer. Cancel or a blank answer writes nothing; the link
// checks what is typed as it checks every value it writes.
void SetupPasscode(RSComm& link, Prompt& prompt);
