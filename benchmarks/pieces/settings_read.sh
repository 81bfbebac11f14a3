# The settings read: the defaults, and the settings file never opened.
drop app/Unit1.cpp 'Prefs->Load();'
