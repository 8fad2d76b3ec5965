#pragma once

// How often the program has rung the desktop's bell (QApplication::beep) in
// this test run. A test that calls this takes the place of Qt's beep with one
// that counts each call and then rings the bell through Qt as before.
int bellsRung();
