# The DPI query: 96 taken as it is, the screen never asked.
begin ui/Dpi.cpp 'Dpi Dpi::System(' 'return Dpi(96);'
