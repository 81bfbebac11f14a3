# The runtime probe: the runtime is taken as there.
replace app/Unit1.cpp 'IsHelpApiAvailable()' 'true'
