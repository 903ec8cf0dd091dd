# "Case: Proper" starts a word only after a character that is no letter: ß and the
# ligatures are letters although they have no upper-case form.
new
cell text A1 "meißner weiß"
cell text A2 "ﬁne ﬂow"
select A1:A2
call Actions "Case||  Proper"
print cells A1:A2
#### expected output
Meißner Weiß
ﬁne ﬂow
