# The tooltips: no tooltip control, no hint on any control.
begin ui/FormControls.cpp 'TForm::AddTooltip(' 'return;'
