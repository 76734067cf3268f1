// main window: being written
