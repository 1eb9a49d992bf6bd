! unequal terminations
[Version] 2.0
# MHz S DB R 200
[Number of Ports] 2
[Two-Port Data Order] 12_21
[Number of Frequencies] 3
[Reference] 200 50
[Network Data]
8.8 -0.5 10 -40 80 -40 80 -0.6 12
8.9 -20 -30 -1.5 -100 -1.5 -100 -19 -28
9.0 -0.4 170 -45 -70 -45 -70 -0.5 168
[End]
