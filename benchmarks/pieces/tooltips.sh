# The tooltips: no tooltip control, no hint on any control.
begin ui/Form.cpp 'TForm::AddTooltip(' 'return;'
