[Version] 2.1
# MHz S RI R 50
[Number of Ports] 2
[Number of Frequencies] 1
[Matrix Format] Lower
[Network Data]
5 0.1 0 0.9 0 0.1 0
[End]
