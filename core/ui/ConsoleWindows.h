#pragma once
// How the program's two windows end the console together: the login window closing
// ends the loop, and the main window's exit (its picture or a close of the window)
// closes the login window.

class TLoginForm;
class TMainForm;

void ConnectConsoleWindows(TLoginForm &login, TMainForm &mainForm);
