#pragma once

class QWidget;

// Marks the moment a start-up has finished: once the window's first expose has
// been handled (it is then painted), the line "shown" goes to standard output
// and the event loop ends. Call it right after show().
void exitWhenShown(QWidget& window);
