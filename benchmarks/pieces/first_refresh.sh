# The first refresh: no listing at show, so no default viewer or title
# from it either.
replace app/Unit1.cpp 'if (ApiAvailable) {' 'if (false) {'
