# Without "on-error continue", an error of the component ends the script with status 1:
# here a Query form event sent while no request has shown the Query form.
new
event NextButtonClick
print sheets
#### expected output
#### expected errors
quillary: line 4: error 91 in NextButtonClick: Quillary: Object variable or With block variable not set
#### expected status 1
