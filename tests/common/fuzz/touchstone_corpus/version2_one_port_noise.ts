[Version] 2.0
# Hz S MA R 50
[Number of Ports] 1
[Number of Frequencies] 2
[Number of Noise Frequencies] 1
[Network Data]
1000 0.5 0
2000 0.6 -10
[Noise Data]
1000 1 0.5 10 0.3
[End]
