# The hidden application window: its class and the window, never made.
drop ui/Application.cpp 'WNDCLASSEXA wc{};' 'handle_ = CreateWindowExA('
